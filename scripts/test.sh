#!/usr/bin/env bash
# Sets up, builds and runs every test level: native unit tests (also under ASan and
# UBSan, and the drive queries' tests under TSan), the Windows tests and the end-to-end
# tests under Wine in Xvfb for the 64-bit build and, where this host runs 32-bit code, for
# the 32-bit build too, the release's reproducibility and manifests, a bounded fuzzing run,
# and the format check. BRIMVIEW_WINE_ARCHS=x86_64 forces the 64-bit-only path.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
bash scripts/setup.sh

step() { printf '\n== %s (at %ss)\n' "$*" "$SECONDS"; }

step "format"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

for preset in native native-asan native-tsan; do
  step "unit tests ($preset)"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j2
done

source scripts/wine-env.sh
source scripts/display.sh
trap '[ -n "${BRIMVIEW_XVFB_PID:-}" ] && kill "$BRIMVIEW_XVFB_PID" 2>/dev/null; wineserver -k 2>/dev/null || true' EXIT
for arch in x86_64 i686; do
  if [[ " $BRIMVIEW_WINE_ARCHS " != *" $arch "* ]]; then
    step "Windows build ($arch)"
    bash scripts/build.sh "$arch"
    echo "skipped: the Windows and end-to-end tests of the $arch build: $BRIMVIEW_NO_I686"
    continue
  fi
  step "Windows and end-to-end tests under Wine ($arch)"
  bash scripts/build.sh "$arch"
  use_wine_for "$arch"
  wineboot >/dev/null 2>&1  # a warm wineserver keeps each test from paying for its start
  ctest --preset "mingw-$arch"
  step "Windows tests in one process ($arch)"
  # Each test above had a process of its own; here they share one, as the program's parts
  # share the application object, so that whatever a test leaves bound or open shows.
  (cd "build/mingw-$arch/tests/win32" && wine ./win32_tests.exe --gtest_brief=1)
  wineserver -k 2>/dev/null || true
done

step "release: the zips packaged here and in a clone elsewhere, and their manifests"
bash tests/release/test_release.sh

step "fuzzing the settings document (60 s)"
cmake --preset native-fuzz >/dev/null
cmake --build --preset native-fuzz
bash tests/fuzz/run.sh build/native-fuzz 60
step "done"
