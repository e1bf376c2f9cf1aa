#!/usr/bin/env bash
# Sets up, builds and starts Brimview under Wine. Without a display it runs on Xvfb
# and saves a screenshot.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
bash scripts/setup.sh
bash scripts/build.sh
source scripts/wine-env.sh
headless=${DISPLAY:+no}
source scripts/display.sh
wineserver -k 2>/dev/null || true
wineboot >/dev/null 2>&1
# The skin folder is looked for in the current directory: start from dist/.
# Detached from this script's output, so that a caller reading it is not held open.
(cd dist && exec setsid wine brimview.exe </dev/null >/dev/null 2>&1) &
for _ in $(seq 100); do
  xdotool search --name '^Brimview$' >/dev/null 2>&1 && break
  sleep 0.2
done
sleep 1
if [ "${headless:-}" != no ]; then
  mkdir -p shots
  import -window root shots/run.png
  echo "Brimview is running on the virtual display $DISPLAY; screenshot: $repo/shots/run.png"
else
  echo "Brimview is running."
fi
