#!/usr/bin/env bash
# Runs a Windows program of this build under the project's Wine prefix; ctest's
# emulator for the cross builds.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
source "$repo/scripts/wine-env.sh"
exe=$1
shift
if [ ! -e /usr/lib/i386-linux-gnu/wine/i386-windows/kernel32.dll ] && file "$exe" | grep -q 'PE32 executable'; then
  echo "wine-run: wine32 is missing, so $exe cannot run" >&2
  exit 127
fi
exec wine "$exe" "$@"
