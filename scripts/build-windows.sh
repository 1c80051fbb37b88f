#!/usr/bin/env bash
# Cross-builds the Qt-free part of Kestrel for 64-bit Windows with MinGW-w64: the core libraries,
# the 3D wrapper with its Direct3D 9 device, kestrel-big.exe and their tests, all linked
# statically. libpng, libjpeg-turbo and GoogleTest have no MinGW packages in Debian, so they are
# built here from Debian's own sources; downloads and built libraries stay under build/windows, so
# a second run only rebuilds Kestrel.
#   Output: build/windows/bin/kestrel-big.exe and build/windows/bin/tst_*.exe
#   Run the tests with scripts/run-windows-tests.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/install-deps.sh windows

out=$root/build/windows
deps=$out/deps
prefix=$deps/prefix
toolchain=$root/cmake/toolchains/mingw-w64-x86_64.cmake
jobs=2
mkdir -p "$deps/sources"

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

# Debian's source packages through a private apt configuration, so the machine's own sources
# list stays as it is. Only the main archive is asked: its version is the one Debian 12 builds.
fetch_source() { # package, tarball glob
  local package=$1 pattern=$2
  if compgen -G "$deps/sources/$pattern" >/dev/null; then
    return
  fi
  local apt=$deps/apt
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial"
  if [[ ! -f $apt/sources.list ]]; then
    local mirror
    mirror=$(grep -h -m1 -E '^URIs: .*debian/?$' /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '{print $2}' || true)
    echo "deb-src ${mirror:-http://deb.debian.org/debian} bookworm main" >"$apt/sources.list"
  fi
  local options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
    -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o Debug::NoLocking=1)
  if [[ -z $(ls -A "$apt/lists" | grep -v partial || true) ]]; then
    apt-get "${options[@]}" update -qq
  fi
  (cd "$deps/sources" && apt-get "${options[@]}" source --download-only -qq "$package")
  compgen -G "$deps/sources/$pattern" >/dev/null || { echo "no $pattern in $package's sources" >&2; exit 1; }
}

unpack() { # tarball glob, folder
  local folder=$deps/src/$2
  if [[ ! -d $folder ]]; then
    mkdir -p "$folder"
    tar -xf $(compgen -G "$deps/sources/$1" | head -1) -C "$folder" --strip-components=1
  fi
  echo "$folder"
}

build_dependency() { # name, source folder, cmake options...
  local name=$1 source=$2
  shift 2
  [[ -f $deps/$name.done ]] && return
  echo "build-windows: building $name for Windows"
  cmake -S "$source" -B "$deps/build/$name" -G Ninja --toolchain "$toolchain" "${launcher[@]}" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_FIND_ROOT_PATH="$prefix" "$@" >/dev/null
  nice -n 10 cmake --build "$deps/build/$name" --parallel "$jobs" >/dev/null
  cmake --install "$deps/build/$name" >/dev/null
  touch "$deps/$name.done"
}

fetch_source libpng1.6 'libpng1.6_*.orig.tar.*'
fetch_source libjpeg-turbo 'libjpeg-turbo_*.orig.tar.*'

build_dependency googletest /usr/src/googletest -DBUILD_GMOCK=ON -Dgtest_disable_pthreads=OFF
build_dependency libjpeg-turbo "$(unpack 'libjpeg-turbo_*.orig.tar.*' libjpeg-turbo)" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF
build_dependency libpng "$(unpack 'libpng1.6_*.orig.tar.*' libpng)" \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include

echo "build-windows: building Kestrel for Windows"
cmake -S . -B "$out" -G Ninja --toolchain "$toolchain" "${launcher[@]}" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O1 -DCMAKE_C_FLAGS_RELEASE=-O1 \
  -DCMAKE_FIND_ROOT_PATH="$prefix" \
  -DCMAKE_CROSSCOMPILING_EMULATOR=wine -DKESTREL_BUILD_APP=OFF -DKESTREL_BUILD_TESTS=ON -DKESTREL_WERROR=ON >/dev/null
nice -n 10 cmake --build "$out" --parallel "$jobs"
echo "build-windows: $(ls "$out"/bin/*.exe | wc -l) programs in build/windows/bin"
