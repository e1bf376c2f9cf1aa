# Sourced: makes sure there is an X display, starting Xvfb on a free one when there is none.
# Sets BRIMVIEW_XVFB_PID when it started one.
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 70 99); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
  done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  BRIMVIEW_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi
