# Sourced by the scripts that run Windows programs: the project's Wine prefix,
# a zh_CN locale (ANSI code page 936) and a virtual X display.
TARNWICK_DEPS="${TARNWICK_DEPS:-/opt/tarnwick-deps}"
export WINEPREFIX="${WINEPREFIX:-$TARNWICK_DEPS/wineprefix}"
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# LANG alone leaves Wine on code page 1252.
export LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8
export DISPLAY="${TARNWICK_DISPLAY:-:91}"

# Starts Xvfb and a persistent wineserver unless they already run; prints
# nothing. Safe to call from several processes at once.
wine_env_start() {
  local lock="/tmp/tarnwick-wine-env-${DISPLAY#:}.lock"
  (
    flock 9
    if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
      # The lock's descriptor must not live on in the servers.
      setsid Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp -ac \
        >/tmp/tarnwick-xvfb.log 2>&1 </dev/null 9>&- &
      local i
      for i in $(seq 1 100); do
        xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break
        sleep 0.1
      done
    fi
    # A second server for the same prefix ends at once, so this is safe when
    # one already runs; a server that wine started by itself would instead
    # inherit the caller's output and keep CTest waiting for it.
    setsid wineserver -p >/dev/null 2>&1 </dev/null 9>&- &
    sleep 0.2
  ) 9>"$lock"
}

# Ends what wine_env_start started.
wine_env_stop() {
  wineserver -k >/dev/null 2>&1 || true
  pkill -f "Xvfb $DISPLAY " >/dev/null 2>&1 || true
}
