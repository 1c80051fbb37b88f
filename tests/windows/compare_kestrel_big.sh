#!/usr/bin/env bash
# kestrel-big.exe under Wine must answer exactly as the Linux kestrel-big does: the same archive
# bytes from pack, the same listing, the same extracted files and the same verdicts and exit codes.
#   compare_kestrel_big.sh WINDOWS_EXE LINUX_BINARY      (run with WINEPREFIX and DISPLAY set)
set -uo pipefail
windows_exe=$1
linux_tool=$2
[[ -x $linux_tool ]] || { echo "compare_kestrel_big: no Linux kestrel-big at $linux_tool" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# A mod folder with what trips ports up: line ends, every byte value, an empty file, spaces and
# upper case in names, nesting.
mkdir -p "mod/data/ini/object" "mod/Art/Textures" "mod/data/Some Folder"
printf 'Object Tank\r\n  MaxHealth = 300\r\nEnd\r\n' >mod/data/ini/object/tank.ini
printf 'line one\nline two\n' >"mod/data/Some Folder/read me.txt"
for i in $(seq 0 255); do printf "\\$(printf %03o "$i")"; done >mod/Art/Textures/AllBytes.TGA
: >mod/data/empty.bin
head -c 70000 /dev/zero | tr '\0' 'x' >mod/data/large.str

failures=0
run_both() { # name, arguments...: runs both tools, compares exit code, stdout and stderr
  local name=$1
  shift
  "$linux_tool" "$@" >"linux.$name.out" 2>"linux.$name.err" </dev/null
  echo $? >"linux.$name.status"
  wine "$windows_exe" "$@" >"windows.$name.out" 2>"windows.$name.err" </dev/null
  echo $? >"windows.$name.status"
  local part differs=0
  for part in status out err; do
    if ! cmp -s "linux.$name.$part" "windows.$name.$part"; then
      echo "compare_kestrel_big: FAILED: $name differs in $part"
      diff <(cat -A "linux.$name.$part") <(cat -A "windows.$name.$part") | head -10
      differs=1
    fi
  done
  failures=$((failures + differs))
}
same_files() { # name, linux path, windows path
  if ! diff -r "$2" "$3" >/dev/null; then
    echo "compare_kestrel_big: FAILED: $1 gives different bytes"
    failures=$((failures + 1))
  fi
}

for format in bigf big4; do
  "$linux_tool" pack --format "$format" mod "linux-$format.big" >/dev/null
  wine "$windows_exe" pack --format "$format" mod "windows-$format.big" >/dev/null
  same_files "pack --format $format" "linux-$format.big" "windows-$format.big"

  run_both "list-$format" list --json "linux-$format.big"
  run_both "list-long-$format" list --long "linux-$format.big"
  run_both "verify-$format" verify "linux-$format.big"
  mkdir -p "linux-out-$format" "windows-out-$format"
  "$linux_tool" extract -C "linux-out-$format" "linux-$format.big" >/dev/null
  wine "$windows_exe" extract -C "windows-out-$format" "linux-$format.big" >/dev/null
  same_files "extract ($format)" "linux-out-$format" "windows-out-$format"
done

# Damage: a table that points past the end, and a file that is no archive.
head -c 100 linux-bigf.big >damaged.big
run_both verify-damaged verify damaged.big
run_both list-damaged list --json damaged.big
printf 'not an archive' >plain.txt
run_both verify-plain verify plain.txt

checks=$((2 * 5 + 3))
echo "compare_kestrel_big: $((checks - failures)) passed, $failures failed"
((failures == 0))
