#!/usr/bin/env bash
# Builds the Debian package and checks it as a user's system would see it: its metadata and file
# list, the desktop and AppStream files, then an install into a scratch root (dpkg --root, so the
# machine itself is not touched), the installed programs, manual pages and completion, and that
# removing the package leaves nothing behind.
set -euo pipefail
cd "$(dirname "$0")/.."

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
bash scripts/package-deb.sh >"$scratch/build.log" 2>&1 || { cat "$scratch/build.log" && exit 1; }
deb=$(ls build/package/kestrel_*_amd64.deb)
version=$(sed -n 's/^project(Kestrel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
root=$scratch/root bin=$scratch/root/usr/bin share=$scratch/root/usr/share
dpkg=(dpkg --root="$root" --log=/dev/null --force-depends --force-not-root)
# Without root, fakeroot lets dpkg give the files to root as the package says.
[[ $(id -u) -eq 0 ]] || dpkg=(fakeroot "${dpkg[@]}")

passed=0 failed=0
check() { # NAME COMMAND...: one check, shown with its output when it fails
  local name=$1
  shift
  if "$@" >"$scratch/out" 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $name" && sed 's/^/    /' "$scratch/out"
  fi
}
has_lines() { # FILE PATTERN...: every pattern matches a line of FILE
  local file=$1 pattern
  shift
  for pattern in "$@"; do grep -Eq -- "$pattern" "$file" || { echo "missing: $pattern" && return 1; }; done
}
no_caches() { # The system's package triggers build mime.cache, icon caches and the like.
  ! grep -E '^/usr/share/mime/[^p]|^/usr/share/mime/[^/]*$|cache$' "$scratch/files"
}
versions() {
  "$bin/kestrel-big" --version | grep -Ex "kestrel-big $version \(commit [0-9a-f]{12}(-dirty)?\)" &&
    "$bin/kestrel" --version | grep -Ex "kestrel $version \(commit [0-9a-f]{12}(-dirty)?\)"
}
reads_installed_configuration() { # Only the data folder beside bin/ has kestrel.ini.
  mkdir -p "$scratch/mod/data/ini"
  printf 'Object Tank\n  Body = ActiveBody ModuleTag_01\n    MaxHealth = 10\n  End\nEnd\n' >"$scratch/mod/data/ini/tank.ini"
  "$bin/kestrel-big" pack -q "$scratch/mod/data" "$scratch/mod.big" &&
    "$bin/kestrel-big" ini -g zerohour "$scratch/mod.big" data/ini/tank.ini | grep MaxHealth
}
manual_pages() {
  local page file
  for page in kestrel kestrel-big; do
    file=$share/man/man1/$page.1.gz
    [[ -z $(MANWIDTH=100 man --warnings -l "$file" 2>&1 >/dev/null) ]] && lexgrog "$file" | grep "$page - " || return 1
  done
  zcat "$share/man/man1/kestrel-big.1.gz" | grep -F 'SS "kestrel\-big extract"'
}
offers() { # WORD...: what the installed completion offers for the last word, one per line
  (cd "$scratch" && PATH="$bin:$PATH" bash -c '
    source /usr/share/bash-completion/bash_completion && source "$0"
    COMP_WORDS=("$@") COMP_CWORD=$(($# - 1)) COMP_LINE="$*" COMP_POINT=${#COMP_LINE}
    _kestrel_big 2>/dev/null; printf "%s\n" "${COMPREPLY[@]}"' "$share/bash-completion/completions/kestrel-big" "$@")
}
completion() {
  [[ $(offers kestrel-big ex) == extract && $(offers kestrel-big pack --format b) == $'bigf\nbig4' &&
    $(offers kestrel-big list --l) == --long && $(offers kestrel-big cat mod.big da) == data/ &&
    $(offers kestrel-big cat mod.big 'data\ini\T') == data/ini/tank.ini ]]
}
removal_leaves_nothing() {
  "${dpkg[@]}" --purge kestrel && [[ -z $(find "$root" -mindepth 1 -not -path "$root/var*") ]]
}

dpkg-deb -I "$deb" >"$scratch/info"
dpkg-deb -c "$deb" | awk '/^-/ {print $6}' | sed 's|^\./|/|' >"$scratch/files"
check "metadata: name, version, architecture, dependencies read from the binaries" has_lines "$scratch/info" \
  '^ Package: kestrel$' "^ Version: $version$" '^ Architecture: amd64$' \
  '^ Depends: .*libc6' '^ Depends: .*libqt6widgets6' '^ Depends: .*libpng16'
icons=() && for size in 16 24 32 48 64 128 256; do icons+=("^/usr/share/icons/hicolor/${size}x$size/apps/kestrel.png$"); done
check "file list: programs, configuration, desktop integration, manuals, completion" has_lines "$scratch/files" \
  '^/usr/bin/kestrel$' '^/usr/bin/kestrel-big$' '^/usr/share/kestrel/kestrel.ini$' \
  '^/usr/share/applications/kestrel.desktop$' '^/usr/share/mime/packages/kestrel.xml$' \
  '^/usr/share/metainfo/kestrel.metainfo.xml$' '^/usr/share/icons/hicolor/scalable/apps/kestrel.svg$' "${icons[@]}" \
  '^/usr/share/man/man1/kestrel.1.gz$' '^/usr/share/man/man1/kestrel-big.1.gz$' \
  '^/usr/share/bash-completion/completions/kestrel-big$'
check "no caches of the system's databases" no_caches

mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" && touch "$root/var/lib/dpkg/status"
check "installs into a scratch root" "${dpkg[@]}" -i "$deb"
check "desktop entry valid" desktop-file-validate "$share/applications/kestrel.desktop"
check "AppStream metadata valid" appstream-util validate-relax --nonet "$share/metainfo/kestrel.metainfo.xml"
check "--version names version and commit" versions
check "the installed tool reads the installed kestrel.ini" reads_installed_configuration
check "manual pages render without warnings and name their programs" manual_pages
check "completion: commands, options, choices, the archive's entry names" completion
check "removal leaves nothing behind" removal_leaves_nothing
echo "package: $passed passed, $failed failed"
((failed == 0))
