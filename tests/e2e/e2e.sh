#!/usr/bin/env bash
# One end-to-end case: the real program under Wine in a scratch folder.
# usage: e2e.sh CASE brimview.exe e2e_driver.exe
set -euo pipefail
case_name=$1 exe=$2 driver_exe=$3
repo=$(cd "$(dirname "$0")/../.." && pwd)
source "$repo/scripts/wine-env.sh"
use_wine_for "$(pe_arch "$exe")"

scratch=$(mktemp -d)
# The program's folder; one case names it with letters beyond any ANSI code page's reach.
work=$scratch
if [ "$case_name" = unicode_folder ]; then work="$scratch/Ölçü-José-Ω" && mkdir "$work"; fi
# What the test itself writes, such as the copies' exit codes, beside the program's folder.
notes=$(mktemp -d)
pids=()
# Space taken on drive C: to make the shown free space change (see refresh_gaps).
ballast="$WINEPREFIX/drive_c/brimview-e2e-ballast.$$"
# A slow drive: a FUSE mount in the scratch folder, mapped to a drive letter in the prefix.
slow_letter= slow_mount= slow_hang=
# The screen's dpi as Wine gives it: read when the wineserver starts, so it is restarted.
dpi_changed=
set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -w
  dpi_changed=1
}
# Files and folders made immutable (see immutable), to be freed before they are deleted.
immutables=()
# A small drive: a tmpfs of 16 MB in the scratch folder, mapped to a drive letter.
small_letter= small_mount=
cleanup() {
  if ((${#immutables[@]})); then chattr -i "${immutables[@]}" 2>/dev/null || true; fi
  # A copy that outlived its case would answer the next case's questions: end them all.
  wineserver -k 2>/dev/null || true
  if [ -n "$dpi_changed" ]; then set_dpi 96; fi
  if [ -n "$slow_letter" ]; then rm -f "$WINEPREFIX/dosdevices/$slow_letter:"; fi
  if [ -n "$small_letter" ]; then rm -f "$WINEPREFIX/dosdevices/$small_letter:"; fi
  if [ -n "$small_mount" ]; then umount "$small_mount" 2>/dev/null || true; fi
  if [ -n "$slow_mount" ]; then
    rm -f "$slow_hang"
    fusermount -u "$slow_mount" 2>/dev/null || true
  fi
  rm -rf "$scratch" "$notes" "$ballast"
}
trap cleanup EXIT
cp "$exe" "$work/brimview.exe"
cp "$driver_exe" "$work/driver.exe"
ini="$work/brimview.ini"

fail() { echo "FAIL ($case_name): $*" >&2; exit 1; }
# With $desktop set, the program and the driver run in a Wine desktop of that name: a window
# of its own on the X display, in which Wine draws the frames and captions itself. The exit
# codes are then the desktop's, not the program's.
desktop= desktop_size=800x600
in_desktop() { if [ -n "$desktop" ]; then wine explorer "/desktop=$desktop,$desktop_size" "$@"; else wine "$@"; fi; }
driver() { (cd "$work" && in_desktop driver.exe "$@" | tr -d '\r'); }
# Starts a copy of the program in the scratch folder; its exit code lands in $notes/exit.N and
# what Wine says on its standard error in $notes/stderr.N.
start() {
  local n=${#pids[@]}
  (cd "$work" && { in_desktop brimview.exe 2> "$notes/stderr.$n"; echo $? > "$notes/exit.$n"; }) >/dev/null 2>&1 &
  pids+=($!)
  # The run that makes the desktop serves it until it is empty: let that be the program's
  # run, never a driver's.
  [ -z "$desktop" ] && return
  for _ in $(seq 100); do
    xwininfo -root -children 2>/dev/null | grep -qF "\"$desktop - Wine desktop\"" && return
    sleep 0.1
  done
  fail "the desktop $desktop did not appear"
}
wait_exit() {  # wait_exit N seconds: the copy N ended in time, exit code printed
  for _ in $(seq $(($2 * 10))); do
    [ -f "$notes/exit.$1" ] && { cat "$notes/exit.$1"; return 0; }
    sleep 0.1
  done
  fail "copy $1 did not end within $2 s"
}
expect() { [ "$1" = "$2" ] || fail "expected [$2], got [$1]"; }
# eventually SECONDS COMMAND...: the program answers requests asynchronously; retry a check.
eventually() {
  local seconds=$1; shift
  for _ in $(seq $((seconds * 4))); do "$@" 2>/dev/null && return 0; sleep 0.25; done
  "$@"
}
title_matches() { [[ "$(title)" =~ $1 ]] || { echo "title [$(title)] does not match [$1]" >&2; return 1; }; }
bytes() { od -An -c "$1" | tr -s ' ' ; }
state_field() { driver state | tr ' ' '\n' | sed -n "s/^$1=//p"; }
title() { driver state | sed -n 's/.* title=//p'; }
shot() { mkdir -p "$repo/shots" && import -window root "$repo/shots/e2e-$1.png"; }
state_is() { [ "$(state_field "$1")" = "$2" ]; }
window_caption() { driver window "$1" | sed -n 's/.* caption=//p'; }
# snap NAME CLASS: the program's window of that class, cropped from the screen, into shots/NAME.png.
# Screen and X coordinates agree inside a desktop, which lies at the display's corner.
snap() {
  local geometry
  geometry=$(driver window "$2" | sed -n 's/^left=\([0-9]*\) top=\([0-9]*\) width=\([0-9]*\) height=\([0-9]*\) .*/\3x\4+\1+\2/p')
  [ -n "$geometry" ] || fail "no window $2 to take"
  mkdir -p "$repo/shots"
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "$geometry" +repage "$repo/shots/$1.png"
}
# control CLASS CONTROLCLASS [TEXT]: the driver's line (class|text|visible|checked) for the
# first control of that class, and of that text when one is given, in the window of CLASS.
control() {
  driver controls "$1" | awk -F'|' -v c="$2" -v t="${3-}" '$1 == c && (t == "" || $2 == t) { print; exit }'
}
# ini_value SECTION KEY: the key's value in the settings file.
ini_value() {
  tr -d '\r' < "$ini" | awk -v s="[$1]" -v k="$2=" '/^\[/ { inside = $0 == s } inside && index($0, k) == 1 { print substr($0, length(k) + 1) }'
}
# A twentieth of the unit the free space is shown in: taking it moves the shown figure by 0.05.
ballast_step() {
  local units=(Bytes KB MB GB TB PB EB) i
  for i in "${!units[@]}"; do [ "${units[$i]}" = "$1" ] && { echo $(((1 << (10 * i)) / 20)); return 0; }; done
  return 1
}
# Takes one more step of space on drive C:. The ballast only grows: the free space at a tick
# is then never that of an earlier tick.
grow_ballast() {
  local length=0
  [ -e "$ballast" ] && length=$(stat -c %s "$ballast")
  fallocate -o "$length" -l "$1" "$ballast"
}
# refresh_gaps: the milliseconds between four changes in a row of the minimised taskbar text,
# one gap per line. Only a timer tick rewrites that text, and it changes only when the free
# space shown does; so space is taken on the shown drive C: right after each change, and the
# next tick shows one. Other writers on the disk may add changes or, rarely, cancel one, but
# their changes too come only with a tick: two changes are never closer than one period.
refresh_gaps() {
  local log="$work/titles" unit step n seen=0 watcher
  : > "$log"
  (cd "$work" && wine driver.exe titles 4 90 > "$log") &
  watcher=$!
  for _ in $(seq 100); do grep -q '^watching' "$log" && break; sleep 0.1; done
  unit=$(tr -d '\r' < "$log" | sed -n 's/^watching [0-9.]* \([A-Za-z]*\) Free$/\1/p')
  step=$(ballast_step "$unit") || fail "free space shown as [$(tr -d '\r' < "$log")]"
  grow_ballast "$step"
  while kill -0 "$watcher" 2>/dev/null; do
    n=$(grep -c '^[0-9]' "$log" || true)
    if ((n > seen)); then seen=$n; grow_ballast "$step"; fi
    sleep 0.05
  done
  wait "$watcher" || fail "the taskbar text did not change four times: $(tr -d '\r' < "$log")"
  tr -d '\r' < "$log" | awk '/^[0-9]/ { if (n++) print $1 - last; last = $1 }'
}
# check_period MS GAPS...: the refreshes come every MS milliseconds: no gap shorter, and one at
# least about as short (a change cancelled by another writer leaves a gap of two periods).
check_period() {
  local period=$1 gap
  shift
  [ $# -eq 3 ] || fail "expected three refresh gaps, got [$*]"
  for gap in "$@"; do ((gap >= period - 500)) || fail "refresh gaps [$*] ms: one shorter than $period"; done
  (($(printf '%s\n' "$@" | sort -n | head -1) <= period + 1500)) || fail "refresh gaps [$*] ms: none near $period"
}

# slow_drive LETTER DELAY: drive LETTER: is an empty file system whose space queries answer
# after DELAY seconds, and never while the file $slow_hang exists. Ends the case as skipped
# when FUSE cannot be used here.
slow_drive() {
  local skip=
  if [ ! -w /dev/fuse ]; then
    skip="/dev/fuse is not there or not writable"
  elif ! /usr/bin/python3 -c 'import fusepy' 2>/dev/null; then
    skip="Debian's python3-fusepy is not installed"
  elif [ -e "$WINEPREFIX/dosdevices/${1,,}:" ]; then
    fail "the prefix already has a drive ${1^^}:"
  else
    mkdir "$work/slow"
    slow_hang=$work/slow.hang
    /usr/bin/python3 "$repo/tests/e2e/slowfs.py" "$work/slow" "$2" "$slow_hang" 2> "$work/slowfs.log" &
    slow_mount=$work/slow
    for _ in $(seq 50); do mountpoint -q "$work/slow" && break; sleep 0.1; done
    mountpoint -q "$work/slow" || skip="FUSE mount failed: $(tr '\n' ' ' < "$work/slowfs.log")"
  fi
  if [ -n "$skip" ]; then echo "SKIP ($case_name): $skip"; exit 77; fi
  slow_letter=${1,,}
  ln -s "$work/slow" "$WINEPREFIX/dosdevices/$slow_letter:"
}
# immutable PATH...: nothing in these folders may be made, renamed or deleted, and these files
# may not be written, whoever asks, root included. Wine has no access lists: this host flag is
# the nearest it has to a folder whose security forbids creating files, and Wine reports it as
# access denied, as Windows does for such a folder. Ends the case as skipped where the host
# cannot set it.
immutable() {
  chattr +i "$@" 2>"$notes/chattr.log" || { echo "SKIP ($case_name): chattr +i: $(cat "$notes/chattr.log")"; exit 77; }
  immutables+=("$@")
}
# small_drive LETTER: drive LETTER: is a tmpfs of 16 MB, empty. Ends the case as skipped where
# mounting is not permitted.
small_drive() {
  [ -e "$WINEPREFIX/dosdevices/${1,,}:" ] && fail "the prefix already has a drive ${1^^}:"
  mkdir "$work/small"
  if ! mount -t tmpfs -o size=16m tmpfs "$work/small" 2> "$work/mount.log"; then
    echo "SKIP ($case_name): mounting a tmpfs is not permitted here: $(tr '\n' ' ' < "$work/mount.log")"
    exit 77
  fi
  small_mount=$work/small
  small_letter=${1,,}
  ln -s "$work/small" "$WINEPREFIX/dosdevices/$small_letter:"
}
# red_pixels NAME: how many pure red pixels the screenshot shots/NAME.png holds.
red_pixels() {
  convert "$repo/shots/$1.png" -fill black +opaque 'rgb(255,0,0)' -fill white -opaque 'rgb(255,0,0)' \
    -format '%[fx:round(mean*w*h)]' info:
}
# flashes: how often the program has asked to flash its taskbar button so far.
flashes() { grep -c 'Call user32.FlashWindowEx' "$notes/stderr.0" || true; }
# Milliseconds since the epoch.
now_ms() { date +%s%3N; }

[ "$(driver count)" = 0 ] || fail "a copy of the program is already running"

case $case_name in
  window_and_exit)
    start
    expect "$(driver wait)" ok
    expect "$(state_field visible)" 1
    expect "$(title)" Brimview
    shot window
    driver command 104 >/dev/null   # 終了(&X)
    expect "$(wait_exit 0 20)" 0
    ;;
  minimise_title)
    start
    driver wait >/dev/null
    driver minimize >/dev/null
    eventually 10 title_matches '^[0-9]+\.[0-9]{2} (Bytes|KB|MB|GB|TB|PB|EB) Free$' || fail "minimised title"
    expect "$(state_field iconic)" 1
    expect "$(state_field visible)" 0
    driver restore >/dev/null
    eventually 10 title_matches '^Brimview$' || fail "restored title"
    expect "$(state_field visible)" 1
    driver close >/dev/null
    wait_exit 0 20 >/dev/null
    ;;
  first_start_settings)
    start
    driver wait >/dev/null
    expect "$(bytes "$ini")" "$(printf '[Display]\r\nSkin=0\r\n\r\n' > "$work/want" && bytes "$work/want")"
    [ -d "$work/skin" ] || fail "the skin folder was not created"
    driver close >/dev/null
    wait_exit 0 20 >/dev/null
    rm "$ini"
    cp "$repo/src/resources/skin/bg.bmp" "$work/skin/bg.bmp"
    start
    driver wait >/dev/null
    [ -f "$ini" ] && [ ! -s "$ini" ] || fail "with bg.bmp present the first save must be empty"
    driver close >/dev/null
    wait_exit 1 20 >/dev/null
    ;;
  close_saves_position)
    printf '[Window]\r\nTop=123\r\nLeft=234\r\nDrive=z\r\n' > "$ini"
    start
    driver wait >/dev/null
    expect "$(state_field top)" 123
    expect "$(state_field left)" 234
    driver close >/dev/null
    wait_exit 0 20 >/dev/null
    grep -q $'^Top=123\r$' "$ini" || fail "Top not saved: $(cat "$ini")"
    grep -q $'^Left=234\r$' "$ini" || fail "Left not saved"
    grep -q $'^Drive=Z\r$' "$ini" || fail "Drive not saved as Z: $(cat "$ini")"
    ;;
  start_minimised)
    printf '[Display]\r\nMinimized=1\r\n' > "$ini"
    start
    driver wait >/dev/null
    eventually 10 title_matches ' Free$' || fail "minimised start title"
    expect "$(state_field iconic)" 1
    expect "$(state_field visible)" 0
    driver close >/dev/null
    wait_exit 0 20 >/dev/null
    ;;
  second_copy_gives_way)
    start
    driver wait >/dev/null
    driver minimize >/dev/null
    sleep 1
    settings=$(stat -c %i "$ini")
    start
    expect "$(wait_exit 1 20)" 0
    # The copy that gave way left the settings file alone: a save puts a new file in its place.
    expect "$(stat -c %i "$ini")" "$settings"
    expect "$(driver count)" 1
    # The running copy came forward.
    eventually 10 title_matches '^Brimview$' || fail "the running copy was not restored"
    expect "$(state_field iconic)" 0
    expect "$(state_field visible)" 1
    driver close >/dev/null
    wait_exit 0 20 >/dev/null
    ;;
  copies_started_together)
    for round in $(seq 10); do
      pids=()
      rm -f "$notes"/exit.*
      start
      start
      expect "$(driver wait 30)" ok
      # The copy that gave way ends by itself; the other runs until it is closed.
      for _ in $(seq 200); do [ -f "$notes/exit.0" ] || [ -f "$notes/exit.1" ] && break; sleep 0.1; done
      expect "$(driver count)" 1
      expect "$(ls "$notes" | grep -c '^exit\.')" 1
      driver close >/dev/null
      wait_exit 0 20 >/dev/null
      wait_exit 1 20 >/dev/null
      echo "round $round: one copy ran"
    done
    ;;
  read_only_folder)
    # Neither the settings file nor the skin folder can be made: a folder stands where
    # the settings file goes, a plain file where the skin folder goes.
    mkdir "$ini"
    touch "$work/skin"
    start
    report=$(driver messagebox 20)
    [[ "$report" == "Brimview|ファイル "*"brimview.ini を作成できません." ]] || fail "error report [$report]"
    expect "$(driver wait)" ok
    expect "$(state_field visible)" 1
    report=$(driver messagebox 20)   # the paint cannot find the default skin either: reported once
    [[ "$report" == *"skin\bg.bmp は開けません." ]] || fail "paint report [$report]"
    driver close >/dev/null
    report=$(driver messagebox 20)   # the close cannot save either, and says so
    [[ "$report" == *"を作成できません."* ]] || fail "close report [$report]"
    expect "$(wait_exit 0 20)" 0
    ;;
  save_past_leftovers)
    # Files where an older save put its temporary file: one left read-only, then a link
    # someone planted to a file of theirs. Neither stops the save, and the linked file keeps
    # its bytes.
    printf 'left by a save long ago' > "$work/brimview.ini.tmp"
    chmod a-w "$work/brimview.ini.tmp"
    printf 'VICTIM DATA' > "$work/victim"
    for round in 0 1; do
      if ((round)); then rm -f "$work/brimview.ini.tmp" && ln "$work/victim" "$work/brimview.ini.tmp"; fi
      rm -f "$ini"
      start
      driver wait >/dev/null
      driver close >/dev/null
      expect "$(driver messagebox 3)" "error: nothing appeared"
      expect "$(wait_exit "$round" 20)" 0
      grep -q $'^\\[Window\\]\r$' "$ini" || fail "round $round: the close did not save: $(cat "$ini")"
    done
    expect "$(cat "$work/victim")" "VICTIM DATA"
    expect "$(ls "$work" | grep -c '\.tmp$')" 1
    ;;
  folder_refuses_new_files)
    # A folder where no file may be made, holding a settings file that may be written: the
    # saves rewrite it in place, with no message.
    mkdir "$work/skin"
    printf '[Display]\r\nSkin=0\r\n' > "$ini"
    immutable "$work"
    entries=$(ls -a "$work")
    start
    driver wait >/dev/null
    driver close >/dev/null
    expect "$(driver messagebox 3)" "error: nothing appeared"
    expect "$(wait_exit 0 20)" 0
    [[ "$(ini_value Window Top)" =~ ^-?[0-9]+$ ]] || fail "the close did not save [Window]: $(cat "$ini")"
    expect "$(ls -a "$work")" "$entries"
    # The file may not be written either, as in a folder the user may not write: each save
    # says so, naming the file, and the file stays as it was.
    immutable "$ini"
    settings=$(bytes "$ini")
    start
    report=$(driver messagebox 20)
    [[ "$report" == "Brimview|ファイル "*"brimview.ini を作成できません." ]] || fail "start-up report [$report]"
    driver wait >/dev/null
    driver close >/dev/null
    report=$(driver messagebox 20)
    [[ "$report" == "Brimview|ファイル "*"brimview.ini を作成できません." ]] || fail "close report [$report]"
    expect "$(wait_exit 1 20)" 0
    expect "$(bytes "$ini")" "$settings"
    ;;
  killed_saves)
    # A settings file of about 100 KB; the program killed again and again while its close
    # saves it.
    /usr/bin/python3 "$repo/tests/e2e/killsave.py" "$work" 32
    ;;
  options_keyboard)
    mkdir "$work/skin"
    cp "$repo/src/resources/skin/bg.bmp" "$work/skin/bg.bmp"   # the skin list is in use
    start
    driver wait >/dev/null
    settings=$(bytes "$ini")
    driver command 100 >/dev/null   # 設定(&O)...
    expect "$(window_caption TPagesDlg)" 設定
    # The focus starts on the first control and walks the page's controls and the buttons in
    # their tab order; of the two radio buttons only the selected one is a stop.
    # The warning's count and unit are no stops while its box is off.
    general=$'Edit|3\nButton|秒\nButton|空き容量が次の値以下になったら警告する\nButton|Windows の起動時に Brimview を開始する'
    general+=$'\nButton|OK\nButton|キャンセル\nButton|ヘルプ(&H)'
    expect "$(driver focus TPagesDlg 11)" "$(printf '%s\n%s' "$general" "$(head -n 5 <<<"$general")")"
    driver tab TPagesDlg 1 >/dev/null   # 表示
    display=$'Button|常に手前に表示\nButton|半透明表示 （Windows 2000/XPのみ対応）\nButton|最小化で起動'
    display+=$'\nButton|背景画像を使う\nComboBox|bg.bmp\nButton|背景画像を透過\nButton|OK\nButton|キャンセル\nButton|ヘルプ(&H)'
    expect "$(driver focus TPagesDlg 12)" "$(printf 'Button|OK\nButton|キャンセル\nButton|ヘルプ(&H)\n%s\nButton|常に手前に表示' "$display")"
    driver key TPagesDlg 27 >/dev/null   # Esc
    expect "$(driver gone TPagesDlg)" ok
    expect "$(bytes "$ini")" "$settings"
    driver command 103 >/dev/null   # About(&A)...
    expect "$(window_caption TAboutBox)" "Brimview のバージョン情報"
    expect "$(driver focus TAboutBox 2)" $'Button|OK\nTLinkLabel|https://example.org/\nButton|OK'
    driver key TAboutBox 13 >/dev/null   # Enter
    expect "$(driver gone TAboutBox)" ok
    driver close >/dev/null
    expect "$(wait_exit 0 20)" 0
    ;;
  held_settings_file)
    # Another program holds the settings file without sharing for 12 s while the window
    # repaints every 250 ms: the paint reads the file, fails, and says so once.
    start
    driver wait >/dev/null
    held=$(driver hold brimview.ini 12)
    echo "error boxes while the settings file was held: $held"
    expect "$(head -n 1 <<<"$held")" 1
    [[ "$(sed -n 2p <<<"$held")" == "Brimview|ファイル "*"brimview.ini は開けません." ]] || fail "report [$held]"
    expect "$(state_field visible)" 1
    driver close >/dev/null
    expect "$(wait_exit 0 20)" 0
    [[ "$(ini_value Window Top)" =~ ^-?[0-9]+$ ]] || fail "the close did not save [Window]: $(cat "$ini")"
    ;;
  options_interval)
    printf '[Window]\r\nDrive=C\r\n' > "$ini"
    start
    driver wait >/dev/null
    [[ "$(driver drives | grep '^\*')" == '*C:'* ]] || fail "C: is not the shown drive: $(driver drives)"
    driver minimize >/dev/null
    eventually 10 title_matches ' Free$' || fail "minimised title"
    gaps=$(refresh_gaps)
    echo "refresh gaps at start-up (ms):" $gaps
    check_period 3000 $gaps
    driver restore >/dev/null
    eventually 10 title_matches '^Brimview$' || fail "restored title"
    driver command 100 >/dev/null   # 設定(&O)...
    expect "$(window_caption TPagesDlg)" 設定
    expect "$(control TPagesDlg Edit)" "Edit|3|1|0"
    driver settext TPagesDlg Edit 10 >/dev/null
    driver click TPagesDlg OK >/dev/null
    expect "$(driver gone TPagesDlg)" ok
    expect "$(ini_value General Interval)" 10000
    expect "$(ini_value General Interval_s)" 1
    expect "$(ini_value General Interval_m)" 0
    driver minimize >/dev/null
    eventually 10 title_matches ' Free$' || fail "minimised title"
    gaps=$(refresh_gaps)
    echo "refresh gaps after 10 seconds were confirmed (ms):" $gaps
    check_period 10000 $gaps
    driver close >/dev/null
    expect "$(wait_exit 0 20)" 0
    expect "$(ini_value General Interval)" 10000
    ;;
  options_stay_on_top)
    start
    driver wait >/dev/null
    expect "$(state_field topmost)" 0
    drives=$(driver drives)
    [ -n "$drives" ] || fail "no drives listed"
    for on in 1 0; do
      window=$(state_field hwnd)
      driver command 100 >/dev/null   # 設定(&O)...
      expect "$(window_caption TPagesDlg)" 設定
      if ((on)); then
        driver tab TPagesDlg 1 >/dev/null   # 表示
      else
        # The dialog opens on the page it was closed on.
        expect "$(control TPagesDlg Button 常に手前に表示)" "Button|常に手前に表示|1|1"
      fi
      driver click TPagesDlg 常に手前に表示 >/dev/null
      expect "$(control TPagesDlg Button 常に手前に表示)" "Button|常に手前に表示|1|$on"
      driver click TPagesDlg OK >/dev/null
      expect "$(driver gone TPagesDlg)" ok
      expect "$(ini_value Display On_Top)" "$on"
      eventually 10 state_is topmost "$on" || fail "topmost is $(state_field topmost), not $on"
      # The style is one of creation: a new window, with its drive list built anew.
      [ "$(state_field hwnd)" != "$window" ] || fail "the main window was not re-created"
      expect "$(state_field visible)" 1
      expect "$(driver drives)" "$drives"
      expect "$(driver count)" 1
    done
    driver close >/dev/null
    expect "$(wait_exit 0 20)" 0
    ;;
  dialog_pictures)
    desktop=brimview-e2e
    mkdir "$work/skin"
    cp "$repo/src/resources/skin/bg.bmp" "$work/skin/bg.bmp"
    start
    driver wait >/dev/null
    settings=$(bytes "$ini")
    driver command 100 >/dev/null   # 設定(&O)...
    expect "$(window_caption TPagesDlg)" 設定
    expect "$(control TPagesDlg Edit)" "Edit|3|1|0"
    snap options-general TPagesDlg
    driver tab TPagesDlg 1 >/dev/null   # 表示
    expect "$(control TPagesDlg ComboBox)" "ComboBox|bg.bmp|1|0"
    expect "$(control TPagesDlg msctls_trackbar32)" "msctls_trackbar32||0|0"
    driver click TPagesDlg "半透明表示 （Windows 2000/XPのみ対応）" >/dev/null
    expect "$(control TPagesDlg msctls_trackbar32)" "msctls_trackbar32||1|0"
    snap options-display TPagesDlg
    driver click TPagesDlg キャンセル >/dev/null
    expect "$(driver gone TPagesDlg)" ok
    expect "$(bytes "$ini")" "$settings"   # Cancel writes nothing
    driver command 103 >/dev/null   # About(&A)...
    expect "$(window_caption TAboutBox)" "Brimview のバージョン情報"
    snap about TAboutBox
    driver click TAboutBox OK >/dev/null
    expect "$(driver gone TAboutBox)" ok
    expect "$(state_field visible)" 1
    # OK unchanged after a first start, then the close: the layout's sections and nothing else.
    driver command 100 >/dev/null
    driver click TPagesDlg OK >/dev/null
    expect "$(driver gone TPagesDlg)" ok
    driver close >/dev/null
    wait_exit 0 20 >/dev/null
    expect "$(tr -d '\r' < "$ini" | grep '^\[')" $'[General]\n[Display]\n[Window]'
    ;;
  dpi_scaling)
    # A window is kept within the desktop: the options dialog at 288 dpi needs more than 1200 pixels.
    desktop=brimview-e2e desktop_size=2560x1600
    # At each dpi the main window and the options dialog opened from its settings button are
    # their layout at 96 dpi times dpi/96: the client area, every window inside and its font.
    # A length made of two scaled ones (a label's right edge, a field beside its arrows) may
    # round one pixel apart from the whole scaled at once; a tab page lies where the system's
    # tab row puts it, within 5 pixels at 96 dpi.
    scaled() {  # scaled BASE NOW DPI: every number of NOW is that of BASE at DPI, within a pixel
      paste -d' ' "$1" "$2" | awk -v dpi="$3" '{
        n = NF / 2
        if ($1 != $(n + 1)) { print "window " NR ": " $1 " became " $(n + 1); bad = 1; next }
        slack = $1 ~ /^tab-page:/ ? int((5 * dpi + 48) / 96) : 1
        for (i = 2; i <= n; i++) {
          want = int(($i * dpi + 48) / 96); got = $(n + i)
          if (got < want - slack || got > want + slack) { print "window " NR " (" $1 ") field " i ": " $i " at 96 dpi, " got " at " dpi; bad = 1 }
        }
      } END { exit bad }'
    }
    at() { echo $((($1 * dpi + 48) / 96)); }  # a length of the layout at this dpi
    # ink_box X Y W H: "left top right bottom" of the pixels in that part of the client area that
    # stand out from its top-left pixel, the background.
    ink_box() {
      convert "$work/screen.png" -crop "$3x$4+$((cx + $1))+$((cy + $2))" +repage -colorspace Gray -depth 8 \
        -compress none pgm:- | awk 'NR == 2 { w = $1 } NR > 3 { for (i = 1; i <= NF; i++) { if (!n) bg = $i
          if ($i < bg - 64 || $i > bg + 64) {
          x = n % w; y = int(n / w); if (!f++) { l = r = x; t = y }
          l = x < l ? x : l; r = x > r ? x : r; b = y } n++ } } END { if (f) print l, t, r, b }'
    }
    mkdir "$work/skin"
    cp "$repo/src/resources/skin/bg.bmp" "$work/skin/bg.bmp"
    for dpi in 96 120 144 168 192 240 288; do
      set_dpi $dpi
      start
      driver wait >/dev/null
      driver layout TForm1 > "$work/main.$dpi"
      [ $dpi = 96 ] && snap main-100 TForm1
      [ $dpi = 192 ] && snap main-200 TForm1
      read -r cx cy < <(driver window TForm1 | sed -n 's/.* client=\([0-9]*\),\([0-9]*\) .*/\1 \2/p')
      import -window root "$work/screen.png"
      # The help glyph, none of it right of its button (centred, a glyph too wide shows on both
      # sides), and the drive list's text: its first column past the icon, in the field's middle.
      read -r l t r b < <(ink_box $(at 142) $(at 122) $(($(at 170) - $(at 142))) $(($(at 140) - $(at 122)))) ||
        fail "no help glyph at $dpi dpi"
      read -r text _ < <(ink_box $(at 31) $(at 13) $(($(at 143) - $(at 31))) $(at 9)) || fail "no drive text at $dpi dpi"
      glyph=$((b - t + 1)) text=$(($(at 31) + text))
      [ $dpi = 96 ] && glyph96=$glyph text96=$text
      ((r < $(at 18))) || fail "the help glyph at $dpi dpi reaches $r pixels into a button $(at 18) wide"
      ((100 * glyph >= 85 * glyph96 * dpi / 96 && 100 * glyph <= 115 * glyph96 * dpi / 96)) ||
        fail "the help glyph is $glyph pixels high at $dpi dpi, $glyph96 at 96"
      ((text >= $(at $text96) - 2 && text <= $(at $text96) + 2)) || fail "the drive text starts at $text at $dpi dpi"
      # The settings button, at the middle of its place at this dpi.
      driver clickat TForm1 $(at 132) $(at 131) >/dev/null
      expect "$(window_caption TPagesDlg)" 設定
      driver layout TPagesDlg > "$work/options.$dpi"
      driver click TPagesDlg キャンセル >/dev/null
      driver close >/dev/null
      wait_exit $((${#pids[@]} - 1)) 20 >/dev/null
      [ $dpi = 96 ] && continue
      scaled "$work/main.96" "$work/main.$dpi" $dpi || fail "the main window at $dpi dpi: $(cat "$work/main.$dpi")"
      scaled "$work/options.96" "$work/options.$dpi" $dpi || fail "the options dialog at $dpi dpi"
    done
    ;;
  slow_drive)
    # Every space query of Y: takes 4 s (8 s a refresh), as on a share whose server has gone.
    slow_drive Y 4
    printf '[Window]\r\nDrive=Y\r\n' > "$ini"
    started=$(now_ms)
    start
    expect "$(driver wait 10)" ok
    echo "window shown after $(($(now_ms) - started)) ms"
    driver minimize >/dev/null
    eventually 10 state_is iconic 1 || fail "not minimised"
    sleep 2  # under Wine in Xvfb a minimise holds the program for about 2 s of its own
    # The watchdog runs while the taskbar text is watched: 250000 free blocks of 4096 bytes
    # are to show within 20 s of the start.
    driver ping 15 > "$work/answers" &
    watchdog=$!
    eventually $((20 - ($(now_ms) - started) / 1000)) title_matches '^976\.56 MB Free$' || fail "Y:'s free space not shown"
    echo "free space of Y: shown after $(($(now_ms) - started)) ms"
    wait $watchdog
    answers=$(cat "$work/answers")
    echo "$answers"
    [[ "$answers" =~ ^answered\ ([0-9]+)\ of\ ([0-9]+) ]] && [ "${BASH_REMATCH[1]}" = "${BASH_REMATCH[2]}" ] ||
      fail "not every WM_NULL answered within 250 ms: $answers"
    # Neither the close nor the end of the process waits for a refresh of Y: still out. From
    # here on Y: answers nothing, so a close that waited for it would never end; a bare window
    # itself takes about 2 s to end under Wine.
    touch "$slow_hang"
    driver close >/dev/null
    closed=$(now_ms)
    expect "$(wait_exit 0 10)" 0
    echo "ended $(($(now_ms) - closed)) ms after the close request"
    grep -q $'^Drive=Y\r$' "$ini" || fail "Drive not saved: $(cat "$ini")"
    ;;
  low_space)
    # T: holds 16 MB; the warning comes at half of it free. Wine traces each call of
    # FlashWindowEx on the program's standard error.
    small_drive T
    printf '[Window]\r\nDrive=T\r\n[Alert]\r\nEnabled=1\r\nFree_Below=50\r\nUnit=0\r\n' > "$ini"
    settings=$(bytes "$ini")
    desktop=brimview-e2e
    wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d user32.FlashWindowEx /f >/dev/null 2>&1
    WINEDEBUG=-all,+relay start
    expect "$(driver wait)" ok
    eventually 10 title_matches '^Brimview$' || fail "title"
    expect "$(state_field barcolor)" ff000000
    snap low-space-normal TForm1
    expect "$(red_pixels low-space-normal)" 0
    head -c $((12 << 20)) /dev/zero > "$small_mount/fill"
    eventually 8 state_is barcolor 0000ff || fail "no warning at 4 MB of 16 MB free: bar $(state_field barcolor)"
    snap low-space TForm1
    # The figure; the bar's colour is asked above (Wine draws its bar in the highlight colour).
    (($(red_pixels low-space) > 20)) || fail "the free space is not drawn in red"
    rm "$small_mount/fill"
    eventually 8 state_is barcolor ff000000 || fail "the warning stayed with 16 MB free"
    snap low-space-gone TForm1
    expect "$(red_pixels low-space-gone)" 0
    before=$(flashes)
    driver minimize >/dev/null
    eventually 10 state_is iconic 1 || fail "not minimised"
    head -c $((12 << 20)) /dev/zero > "$small_mount/fill"
    eventually 8 state_is barcolor 0000ff || fail "no warning while minimised"
    eventually 5 test "$(flashes)" -gt "$before" || fail "the crossing while minimised did not flash"
    sleep 7  # two more refreshes below the threshold: no second flash
    expect "$(flashes)" $((before + 1))
    driver restore >/dev/null
    driver close >/dev/null
    wait_exit 0 20 >/dev/null
    wine reg delete 'HKCU\Software\Wine\Debug' /v RelayInclude /f >/dev/null 2>&1
    # The close writes its keys and leaves the warning's as they were.
    expect "$(ini_value Alert Free_Below)" 50
    ;;
  start_with_windows)
    # The box on the general page shows a value an older build wrote (the bare quoted path) as
    # this copy's and writes it anew with the sign-in switch; it takes the value away again.
    # Started by that value as Windows starts it, in the system folder, the program finds its
    # skin in its own folder and creates nothing elsewhere.
    run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
    program="Z:${work//\//\\}\\brimview.exe"   # the host's root is Z:
    mkdir "$work/skin"
    cp "$repo/src/resources/skin/bg.bmp" "$work/skin/bg.bmp"
    wine reg add "$run_key" /v Brimview /t REG_SZ /d "\"$program\"" /f >/dev/null 2>&1
    box="Windows の起動時に Brimview を開始する"
    start
    driver wait >/dev/null
    for step in keep off on; do
      driver command 100 >/dev/null   # 設定(&O)...
      expect "$(window_caption TPagesDlg)" 設定
      expect "$(control TPagesDlg Button "$box")" "Button|$box|1|$([ $step = on ] && echo 0 || echo 1)"
      [ $step = keep ] || driver click TPagesDlg "$box" >/dev/null
      driver click TPagesDlg OK >/dev/null
      expect "$(driver gone TPagesDlg)" ok
      expect "$(driver runvalue)" "$([ $step = off ] || echo "\"$program\" /startup")"
      expect "$(driver messagebox 1)" "error: nothing appeared"
    done
    driver close >/dev/null
    expect "$(wait_exit 0 20)" 0
    system_skins=("$WINEPREFIX/drive_c/windows/system32/skin" "$WINEPREFIX/drive_c/windows/syswow64/skin")
    rm -rf "${system_skins[@]}"
    # The started program inherits the driver's output: to a file, so that nothing waits for it.
    (cd "$work" && wine driver.exe signin > "$notes/signin")
    expect "$(tr -d '\r' < "$notes/signin")" "\"$program\" /startup in C:\\windows\\system32"
    expect "$(driver wait)" ok
    expect "$(driver messagebox 2)" "error: nothing appeared"
    driver close >/dev/null
    expect "$(driver gone TForm1)" ok
    wine reg delete "$run_key" /v Brimview /f >/dev/null 2>&1
    grep -q $'^Skin=1\r$' "$ini" && grep -q $'^Skin_File=bg.bmp\r$' "$ini" || fail "the skin was lost: $(cat "$ini")"
    for folder in "${system_skins[@]}"; do [ ! -e "$folder" ] || fail "made $folder"; done
    ;;
  unicode_folder)
    # In a folder whose name no ANSI code page holds, the program starts without a message,
    # saves its settings there, and its sign-in value names that folder exactly.
    mkdir "$work/skin"
    cp "$repo/src/resources/skin/bg.bmp" "$work/skin/bg.bmp"
    start
    expect "$(driver wait)" ok
    box="Windows の起動時に Brimview を開始する"
    driver command 100 >/dev/null   # 設定(&O)...
    driver click TPagesDlg "$box" >/dev/null
    driver click TPagesDlg OK >/dev/null
    expect "$(driver gone TPagesDlg)" ok
    expect "$(driver messagebox 1)" "error: nothing appeared"
    expect "$(driver runvalue)" "\"Z:${work//\//\\}\\brimview.exe\" /startup"
    wine reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v Brimview /f >/dev/null 2>&1
    driver close >/dev/null
    expect "$(wait_exit 0 20)" 0
    grep -q $'^\\[Window\\]\r$' "$ini" || fail "the close did not save [Window]: $(cat "$ini" 2>&1)"
    ;;
  no_alert)
    # Without an [Alert] section a nearly full drive shows no warning, and the close adds none.
    small_drive T
    printf '[Window]\r\nDrive=T\r\n' > "$ini"
    head -c $((15 << 20)) /dev/zero > "$small_mount/fill"
    start
    expect "$(driver wait)" ok
    sleep 7  # two refreshes
    expect "$(state_field barcolor)" ff000000
    driver close >/dev/null
    expect "$(wait_exit 0 20)" 0
    grep -q '^\[Alert\]' "$ini" && fail "the close wrote an [Alert] section: $(cat "$ini")"
    grep -q $'^\\[Window\\]\r$' "$ini" || fail "the close did not save [Window]: $(cat "$ini")"
    ;;
  forecast)
    # T: holds 16 MB, refreshed each second. Off, the program records nothing and its window and
    # taskbar text are as ever; on, it keeps T:'s history beside its settings file and, from
    # rows of three days before the start, tells when T: will be full.
    small_drive T
    history="$work/brimview-history.csv"
    head -c $((10 << 20)) /dev/zero > "$small_mount/fill"  # about 6 MB free
    run_minimised() {  # run_minimised SETTINGS TITLE-PATTERN: the minimised taskbar text comes to match
      printf "[General]\r\nInterval=1000\r\n[Window]\r\nDrive=T\r\n$1" > "$ini"
      start
      driver wait >/dev/null
      driver layout TForm1 | head -1 > "$work/client"
      driver minimize >/dev/null
      eventually 10 title_matches "$2" || fail "taskbar text with [$1]"
      sleep 2  # two more refreshes, which must not change it
      title_matches "$2" || fail "taskbar text with [$1], later"
      driver close >/dev/null
      wait_exit $((${#pids[@]} - 1)) 20 >/dev/null
    }
    run_minimised "" '^[0-9]\.[0-9]{2} MB Free$'
    expect "$(cat "$work/client")" "client 0 0 170 140 0"
    [ -e "$history" ] && fail "a history file with the forecast off"
    run_minimised '[Forecast]\r\nEnabled=1\r\n[Taskbar]\r\nProgress=1\r\n' '^[0-9]\.[0-9]{2} MB Free$'
    expect "$(cat "$work/client")" "client 0 0 170 158 0"
    expect "$(head -1 "$history" | tr -d '\r')" "time,drive,serial,total,free"
    row=$(sed -n 2p "$history" | tr -d '\r')
    [[ "$row" =~ ^20[0-9]{2}-[01][0-9]-[0-3][0-9]T[0-2][0-9]:[0-5][0-9]:[0-5][0-9]Z,T,([0-9A-F]{8}),([0-9]+),[0-9]+$ ]] ||
      fail "history row [$row]"
    serial=${BASH_REMATCH[1]} total=${BASH_REMATCH[2]}
    # Rows each hour over three days, up to 20 minutes ago, free falling 2 MB a day to what
    # T: has now; with a clean-up 6 hours ago, the rows before it have 4 MB less free.
    rows() {
      python3 - "$serial" "$total" "$small_mount" "$1" <<'PY'
import os, sys, time
serial, total, rise = sys.argv[1], int(sys.argv[2]), int(sys.argv[4])
free = os.statvfs(sys.argv[3]).f_bavail * os.statvfs(sys.argv[3]).f_frsize
now, hour, mb = int(time.time()), 3600, 1 << 20
print("time,drive,serial,total,free", end="\r\n")
for age in range(72 * hour + 1200, 0, -hour):
    f = free + 2 * mb * age // (24 * hour) - (rise if age > 6 * hour else 0)
    print(time.strftime("%Y-%m-%dT%H:%M:%SZ", time.gmtime(now - age)) + f",T,{serial},{total},{f}", end="\r\n")
PY
    }
    rows 0 > "$history"
    run_minimised '[Forecast]\r\nEnabled=1\r\n' '^[0-9]\.[0-9]{2} MB Free \(約 [234] 日\)$'
    rows $((4 << 20)) > "$history"
    run_minimised '[Forecast]\r\nEnabled=1\r\n' '^[0-9]\.[0-9]{2} MB Free$'
    ;;
  *)
    fail "unknown case"
    ;;
esac
echo "PASS ($case_name)"
