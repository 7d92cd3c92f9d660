# Sourced by .ci/start and .ci/screenshots: starts a virtual X server of our
# own and exports DISPLAY for it; `stop_virtual_display` ends it.
start_virtual_display() {
  local numbers
  numbers="$(mktemp)"
  Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1366x768x24 3>"$numbers" >/dev/null 2>&1 &
  virtual_display=$!
  for _ in $(seq 100); do
    [ -s "$numbers" ] && break
    kill -0 "$virtual_display" 2>/dev/null || { echo "Xvfb did not start" >&2; rm -f "$numbers"; return 1; }
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$numbers")"
  rm -f "$numbers"
}

stop_virtual_display() {
  [ -n "${virtual_display:-}" ] || return 0
  kill "$virtual_display" 2>/dev/null || true
  wait "$virtual_display" 2>/dev/null || true
  virtual_display=
}

# Writes the whole virtual screen to $1 (PNG).
take_screenshot() {
  import -display "$DISPLAY" -window root "$1"
}
