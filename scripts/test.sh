#!/usr/bin/env bash
# Sets up, builds and runs every test level: native unit tests (also under ASan and
# UBSan), the Windows tests and the end-to-end tests under Wine in Xvfb, a bounded
# fuzzing run, and the format check.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
bash scripts/setup.sh

step() { printf '\n== %s\n' "$*"; }

step "format"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

for preset in native native-asan; do
  step "unit tests ($preset)"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j2
done

step "Windows build (64-bit)"
cmake --preset mingw-x86_64 >/dev/null
cmake --build --preset mingw-x86_64

step "Windows and end-to-end tests under Wine (32-bit)"
bash scripts/build.sh
source scripts/wine-env.sh
source scripts/display.sh
trap '[ -n "${BRIMVIEW_XVFB_PID:-}" ] && kill "$BRIMVIEW_XVFB_PID" 2>/dev/null; wineserver -k 2>/dev/null || true' EXIT
wineboot >/dev/null 2>&1  # a warm wineserver keeps each test from paying for its start
ctest --preset mingw-i686

step "fuzzing the settings document (60 s)"
cmake --preset native-fuzz >/dev/null
cmake --build --preset native-fuzz
bash tests/fuzz/run.sh build/native-fuzz 60
