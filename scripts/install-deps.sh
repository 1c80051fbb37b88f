#!/usr/bin/env bash
# Installs the Debian 12 packages Kestrel needs to build, test and run. Safe to re-run: packages
# already installed are skipped, and apt is only asked when something is missing.
#   scripts/install-deps.sh build    compilers, libraries and Qt (with Multimedia and the GStreamer
#                                    plugins it plays MP3 through), the icon renderer
#   scripts/install-deps.sh package  the above plus what makes the Debian package (dpkg-shlibdeps)
#   scripts/install-deps.sh test     all the above plus the test tools (Xvfb, Mesa, GoogleTest,
#                                    benchmark) and the checkers of the package's files
#   scripts/install-deps.sh windows  the MinGW-w64 cross compiler, Wine and what the Windows build
#                                    fetches and compiles for itself (GoogleTest's and the image
#                                    libraries' sources)
set -euo pipefail

build_packages=(
  g++ cmake ninja-build pkg-config git
  libjpeg62-turbo-dev libpng-dev zlib1g-dev
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev libx11-dev
  qt6-multimedia-dev
  librsvg2-bin
  # Qt Multimedia plays and decodes MP3 entries through GStreamer: its parsers, the MP3 decoder
  # and the PulseAudio output are plugins the library loads at run time.
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
)
package_packages=(dpkg-dev)
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev libsquish-dev
  xvfb xauth libgl1-mesa-dri mesa-utils libx11-dev
  appstream-util desktop-file-utils bash-completion man-db fakeroot
)

windows_packages=(
  g++-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev cmake ninja-build
  googletest dpkg-dev wine wine64 xvfb xauth
)

packages=("${build_packages[@]}")
case "${1:-build}" in
  build) ;;
  package) packages+=("${package_packages[@]}") ;;
  test) packages+=("${package_packages[@]}" "${test_packages[@]}") ;;
  windows) packages=("${windows_packages[@]}") ;;
  *) echo "usage: $0 [build|package|test|windows]" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if ((${#missing[@]} > 0)); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
