#!/usr/bin/env bash
# Sets up, builds and starts Brimview under Wine: the 32-bit program where this host runs
# 32-bit code, otherwise the 64-bit one. Without a display it runs on Xvfb and saves a screenshot.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
bash scripts/setup.sh
source scripts/wine-env.sh
bash scripts/build.sh "$BRIMVIEW_RUN_ARCH"
folder=dist
if [ "$BRIMVIEW_RUN_ARCH" = x86_64 ]; then
  folder=dist64
  echo "Starting the 64-bit program: ${BRIMVIEW_NO_I686}."
else
  echo "Starting the 32-bit program."
fi
headless=${DISPLAY:+no}
source scripts/display.sh
wineserver -k 2>/dev/null || true
wineboot >/dev/null 2>&1
# The skin folder is looked for in the current directory: start from the portable folder.
# Detached from this script's output, so that a caller reading it is not held open.
(cd "$folder" && exec setsid wine brimview.exe </dev/null >/dev/null 2>&1) &
for _ in $(seq 100); do
  xdotool search --name '^Brimview$' >/dev/null 2>&1 && break
  sleep 0.2
done
sleep 1
if [ "${headless:-}" != no ]; then
  mkdir -p shots
  import -window root shots/run.png
  echo "Brimview ($folder/brimview.exe) is running on the virtual display $DISPLAY; screenshot: $repo/shots/run.png"
else
  echo "Brimview ($folder/brimview.exe) is running."
fi
