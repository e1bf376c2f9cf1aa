#!/usr/bin/env bash
# One end-to-end case: the real program under Wine in a scratch folder.
# usage: e2e.sh CASE brimview.exe e2e_driver.exe
set -euo pipefail
case_name=$1 exe=$2 driver_exe=$3
repo=$(cd "$(dirname "$0")/../.." && pwd)
source "$repo/scripts/wine-env.sh"

work=$(mktemp -d)
pids=()
cleanup() {
  # A copy that outlived its case would answer the next case's questions: end them all.
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
cp "$exe" "$work/brimview.exe"
cp "$driver_exe" "$work/driver.exe"
ini="$work/brimview.ini"

fail() { echo "FAIL ($case_name): $*" >&2; exit 1; }
driver() { (cd "$work" && wine driver.exe "$@" | tr -d '\r'); }
# Starts a copy of the program in the scratch folder; its exit code lands in $work/exit.N.
start() {
  local n=${#pids[@]}
  (cd "$work" && { wine brimview.exe; echo $? > "$work/exit.$n"; }) >/dev/null 2>&1 &
  pids+=($!)
}
wait_exit() {  # wait_exit N seconds: the copy N ended in time, exit code printed
  for _ in $(seq $(($2 * 10))); do
    [ -f "$work/exit.$1" ] && { cat "$work/exit.$1"; return 0; }
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
    start
    expect "$(wait_exit 1 20)" 0
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
      rm -f "$work"/exit.*
      start
      start
      expect "$(driver wait 30)" ok
      # The copy that gave way ends by itself; the other runs until it is closed.
      for _ in $(seq 200); do [ -f "$work/exit.0" ] || [ -f "$work/exit.1" ] && break; sleep 0.1; done
      expect "$(driver count)" 1
      expect "$(ls "$work" | grep -c '^exit\.')" 1
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
  *)
    fail "unknown case"
    ;;
esac
echo "PASS ($case_name)"
