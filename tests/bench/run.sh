#!/usr/bin/env bash
# Builds the benchmarks and prints all their figures in one run: the program's start-up
# time and memory beside a bare window's and beside the floors (a bare window with the
# program's manifest, common controls, fonts and standard controls; the same with one
# worker thread, as drive queries need), the cost of a refresh and of a paint, the
# handle counts around many paints, the window's longest answer while a drive is slow, and
# the settings document's load and lookup times.
# It prints figures and judges nothing. Expects scripts/setup.sh to have run.
#   tests/bench/run.sh [STARTS]
# The builds go to build/<preset>, or under $BRIMVIEW_BUILD_ROOT when set.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
cd "$repo"
starts=${1:-15}
build=${BRIMVIEW_BUILD_ROOT:-$repo/build}

source scripts/wine-env.sh
# The build the program runs as: the 32-bit one where this host runs it, else the 64-bit one.
win=mingw-$BRIMVIEW_RUN_ARCH
cmake --preset native -B "$build/native" >/dev/null
cmake --build "$build/native" --target memini_bench >/dev/null
cmake --preset "$win" -B "$build/$win" >/dev/null
cmake --build "$build/$win" --target brimview bare_window floor_window floor_worker launch_bench refresh_bench paint_bench \
  e2e_driver >/dev/null

source scripts/display.sh
work=$(mktemp -d)
slow_letter= slow_mount=
cleanup() {
  if [ -n "$slow_letter" ]; then rm -f "$WINEPREFIX/dosdevices/$slow_letter:"; fi
  if [ -n "$slow_mount" ]; then fusermount -u "$slow_mount" 2>/dev/null || true; fi
  rm -rf "$work"
  if [ -n "${BRIMVIEW_XVFB_PID:-}" ]; then kill "$BRIMVIEW_XVFB_PID"; fi
}
trap cleanup EXIT

# A folder laid out like dist/, with the skin and the settings the program leaves after a close.
mkdir "$work/skin"
cp src/resources/skin/bg.bmp "$work/skin/"
# The start-up programs stripped, as the program is shipped: their symbols would be loaded too.
strip=$BRIMVIEW_RUN_ARCH-w64-mingw32-strip
"$strip" -o "$work/brimview.exe" "$build/$win/src/app/brimview.exe"
for exe in bare_window floor_window floor_worker; do "$strip" -o "$work/$exe.exe" "$build/$win/tests/bench/$exe.exe"; done
for exe in launch_bench refresh_bench paint_bench; do
  cp "$build/$win/tests/bench/$exe.exe" "$work/"
done
cp "$build/$win/tests/e2e/e2e_driver.exe" "$work/driver.exe"
settings='[General]\r\nInterval=3000\r\nInterval_s=1\r\nInterval_m=0\r\n\r\n'
settings+='[Display]\r\nMinimized=0\r\nOn_Top=0\r\nTransparency=0\r\nTransparent_Position=255\r\nSkin=1\r\n'
settings+='Skin_File=bg.bmp\r\nPanelTransparent=0\r\n\r\n[Window]\r\nTop=100\r\nLeft=100\r\nDrive=C\r\n\r\n'
printf '%b' "$settings" > "$work/brimview.ini"
printf '%b' "$settings" > "$work/paint_bench.ini"

wineboot >/dev/null 2>&1  # a warm wineserver: the first start does not pay for it
# Wine says on every start that it cannot read the label of Z: (the host's root); that line is noise here.
bench() { (cd "$work" && wine "$@" 2>&1 | tr -d '\r' | grep -v "^wine: Read access denied for device"); }

printf '== start-up under Wine, %s starts each, taking turns\n' "$starts"
bench launch_bench.exe "$starts" brimview.exe bare_window.exe floor_window.exe floor_worker.exe
printf '\n== refresh under Wine\n'
bench refresh_bench.exe
printf '\n== paint under Wine\n'
bench paint_bench.exe
printf '\n== the window while drive Y: answers every space query after 4 s, under Wine\n'
# The same slow file system as the end-to-end test's, mapped to Y:, shown from the start.
if [ -w /dev/fuse ] && /usr/bin/python3 -c 'import fusepy' 2>/dev/null && [ ! -e "$WINEPREFIX/dosdevices/y:" ]; then
  mkdir "$work/slow" "$work/slowrun"
  /usr/bin/python3 tests/e2e/slowfs.py "$work/slow" 4 2>/dev/null &
  slow_mount=$work/slow
  for _ in $(seq 50); do mountpoint -q "$work/slow" && break; sleep 0.1; done
  slow_letter=y
  ln -s "$work/slow" "$WINEPREFIX/dosdevices/y:"
  cp "$work/brimview.exe" "$work/driver.exe" "$work/slowrun/"
  printf '[Window]\r\nDrive=Y\r\n' > "$work/slowrun/brimview.ini"
  (cd "$work/slowrun" && wine brimview.exe >/dev/null 2>&1 &)
  (cd "$work/slowrun" && wine driver.exe wait 30 >/dev/null && wine driver.exe ping 15 | tr -d '\r' &&
     wine driver.exe close >/dev/null)
  for _ in $(seq 100); do [ "$(cd "$work" && wine driver.exe count | tr -d '\r')" = 0 ] && break; sleep 0.1; done
else
  echo "not measured: FUSE, Debian's python3-fusepy or a free drive letter Y: is missing"
fi
printf '\n== settings document (native)\n'
"$build/native/tests/bench/memini_bench"
