#!/usr/bin/env bash
# Runs a Windows program of this build under the project's Wine prefix; ctest's
# emulator for the cross builds.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
source "$repo/scripts/wine-env.sh"
exe=$1
shift
arch=$(pe_arch "$exe")
if [ "$arch" = i686 ]; then
  if [[ " $BRIMVIEW_WINE_ARCHS " != *" i686 "* ]]; then
    echo "wine-run: $exe is a 32-bit program: $BRIMVIEW_NO_I686" >&2
    exit 127
  fi
  # Without wine32 a 32-bit program fails to load yet Wine exits 0.
  if [ ! -e /usr/lib/i386-linux-gnu/wine/i386-windows/kernel32.dll ]; then
    echo "wine-run: wine32 is missing, so $exe cannot run" >&2
    exit 127
  fi
fi
use_wine_for "$arch"
exec wine "$exe" "$@"
