# Sourced by the scripts that need a virtual display.
#
# start_xvfb SIZE: starts Xvfb on a display number it picks itself
# (-displayfd), so that runs side by side, or a run inside a chroot that
# shares this machine's network namespace, never take the same display.
# Sets DISPLAY and xvfb_pid; returns 1 when no display came up.
start_xvfb() {
  local size=$1 fifo number=""
  fifo=$(mktemp -u) && mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r -t 30 number < "$fifo" || true
  rm -f "$fifo"
  if [ -z "$number" ]; then
    echo "no virtual display could be started (Xvfb)" >&2
    return 1
  fi
  export DISPLAY=":$number"
}
