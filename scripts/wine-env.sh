# Sourced by the scripts that run Windows programs: the project's Wine prefix,
# a zh_CN locale (ANSI code page 936) and a virtual X display.
TARNWICK_DEPS="${TARNWICK_DEPS:-/opt/tarnwick-deps}"
export WINEPREFIX="${WINEPREFIX:-$TARNWICK_DEPS/wineprefix}"
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
# A crashing program ends at once instead of waiting in the crash debugger.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}"
# LANG alone leaves Wine on code page 1252.
export LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8
export DISPLAY="${TARNWICK_DISPLAY:-:91}"

# Starts Xvfb and a persistent wineserver unless they already run; prints
# nothing. Safe to call from several processes at once.
wine_env_start() {
  local lock="/tmp/tarnwick-wine-env-${DISPLAY#:}.lock"
  (
    flock 9
    local i
    if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
      # The lock's descriptor must not live on in the servers.
      setsid Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp -ac \
        >/tmp/tarnwick-xvfb.log 2>&1 </dev/null 9>&- &
      for i in $(seq 1 100); do
        xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break
        sleep 0.1
      done
      xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 ||
        { echo "Xvfb did not start on $DISPLAY (see /tmp/tarnwick-xvfb.log)" >&2; exit 1; }
    fi
    if ! wineserver -k0 >/dev/null 2>&1; then
      setsid wineserver -p >/dev/null 2>&1 </dev/null 9>&- &
      for i in $(seq 1 50); do
        wineserver -k0 >/dev/null 2>&1 && break
        sleep 0.1
      done
      # The prefix's services start with its first program and outlive it.
      # Started here they hold nothing open; started by a test they would keep
      # CTest waiting on the test's output.
      wine cmd /c exit >/dev/null 2>&1 </dev/null 9>&-
    fi
  ) 9>"$lock"
}

# Ends what wine_env_start started.
wine_env_stop() {
  wineserver -k >/dev/null 2>&1 || true
  pkill -f "Xvfb $DISPLAY " >/dev/null 2>&1 || true
}

# For a command that owns the whole run (the test suite, the demo): ends any
# server of this prefix first, so that no short-lived server left over from
# set-up can end later and have the next program start one that inherits, and
# holds open, the caller's output.
wine_env_start_fresh() {
  wineserver -k >/dev/null 2>&1 || true
  local i
  for i in $(seq 1 50); do
    wineserver -k0 >/dev/null 2>&1 || break
    sleep 0.1
  done
  wine_env_start
}
