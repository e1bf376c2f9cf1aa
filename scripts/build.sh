#!/usr/bin/env bash
# Builds the Windows program and lays out the portable folder dist/.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
cmake --preset mingw-i686 >/dev/null
cmake --build --preset mingw-i686
cmake --install build/mingw-i686 >/dev/null
