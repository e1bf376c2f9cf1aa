#!/usr/bin/env bash
# Builds a Windows program and lays out its portable folder with the program stripped:
# dist/ for the 32-bit build (the default), dist64/ for the 64-bit one. Given targets, only those
# are built.
#   scripts/build.sh [i686|x86_64] [TARGET...]
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
preset=mingw-${1:-i686}
cmake --preset "$preset" >/dev/null
if (($# > 1)); then
  cmake --build --preset "$preset" --target "${@:2}"
else
  cmake --build --preset "$preset"
fi
cmake --install "build/$preset" --strip >/dev/null
