#!/usr/bin/env bash
# Builds Kestrel with AddressSanitizer and UndefinedBehaviorSanitizer, warnings as errors, and
# runs every test (rendering tests under Xvfb with Mesa's software renderer), then builds the
# Debian package and checks it (scripts/test-package.sh; KESTREL_PACKAGE_TEST=0 skips that).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh test

build=build/test
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
  -DKESTREL_SANITIZE=ON -DKESTREL_WERROR=ON \
  -DKESTREL_BUILD_TESTS=ON -DKESTREL_BUILD_BENCH=ON
cmake --build "$build" --parallel "$(nproc)"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan-suppressions.txt"
export QT_QPA_PLATFORM=offscreen
ctest_args=(--test-dir "$build" --output-on-failure --parallel "$(nproc)" --timeout 600)
status=0
# Everything that needs no X server runs once, without one: a failure there is a fault.
env -u DISPLAY ctest "${ctest_args[@]}" --label-exclude xserver || status=1
# The Qt tests share one Xvfb with Mesa's software renderer; they wait for the server before Qt
# connects, and a test that still fails is given one more run before it counts.
xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest "${ctest_args[@]}" --label-regex xserver --repeat until-pass:2 || status=1

# The Windows build (core, kestrel-big.exe, the Direct3D 9 device and their tests) under Wine,
# with kestrel-big.exe compared against the Linux tool built above. run-windows-tests.sh skips,
# saying so, only where Wine cannot start.
if bash scripts/build-windows.sh; then
  bash scripts/run-windows-tests.sh "$PWD/$build/bin/kestrel-big" || status=1
else
  echo "run-tests: the Windows build failed" >&2
  status=1
fi

# The Debian package, from a Release build of its own (some minutes on two cores);
# KESTREL_PACKAGE_TEST=0 leaves it out of a quick local run.
if [[ ${KESTREL_PACKAGE_TEST:-1} != 0 ]]; then
  bash scripts/test-package.sh || status=1
fi
exit "$status"
