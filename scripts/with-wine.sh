#!/usr/bin/env bash
# with-wine.sh COMMAND...: runs COMMAND with a Wine prefix and an X display.
#   WINEPREFIX  the prefix to use (default: build/wine); made on first use
#   ZT_DISPLAY  "own" (default) starts a private Xvfb and stops it afterwards;
#               "user" uses $DISPLAY when there is one, else a private Xvfb
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$root/build/wine}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree=;mshtml="}
export WINEARCH=${WINEARCH:-win64}
mode=${ZT_DISPLAY:-own}

xvfb_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT

if [ "$mode" = user ] && [ -n "${DISPLAY:-}" ]; then
  :
else
  [ "$mode" = user ] && echo "with-wine: no display found; running on a private Xvfb" >&2
  n=90
  while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
  Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 100); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
  export DISPLAY=:$n
fi

mkdir -p "$(dirname "$WINEPREFIX")"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi

"$@"
