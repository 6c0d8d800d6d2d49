#!/usr/bin/env bash
# screenshot.sh [BUILD_DIR] [OUT.png]: starts the program with /CPL (a few
# sample bindings, in a folder of its own) on a private X display and saves a
# picture of the settings window.
#   default BUILD_DIR build/win32, OUT docs/settings-window.png
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/win32}" && pwd)
out=${2:-$root/docs/settings-window.png}
case "$out" in /*) ;; *) out=$PWD/$out ;; esac
export WINEPREFIX=${WINEPREFIX:-$root/build/wine-shot}

if [ -z "${ZT_SHOT_INNER:-}" ]; then
  ZT_SHOT_INNER=1 exec "$root/scripts/with-wine.sh" "$0" "$build" "$out"
fi

work=$(mktemp -d "$root/build/shot.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$build/ztrop32.exe" "$work/"
if [ -d "$build/plugins" ]; then
  mkdir -p "$work/plugins"
  cp "$build"/plugins/*.dll "$work/plugins/" 2>/dev/null || true
fi
printf '[Zentrop]\r\nHkCount=3\r\n1Hk=Ctrl+Alt+N\r\n1Cmd=C:\\Windows\\notepad.exe\r\n2Hk=Win+Space\r\n2Cmd=#Lock\r\n3Hk=Ctrl+Shift+F12\r\n3Cmd=C:\\Tools\\run.exe\r\n' \
  >"$work/ztrop32.ini"

(cd "$work" && wine ztrop32.exe /CPL >/dev/null 2>&1) &
pid=$!

win=""
for _ in $(seq 1 100); do
  win=$(xdotool search --onlyvisible --name '^Zentrop 2\.01$' 2>/dev/null | head -1)
  [ -n "$win" ] && break
  sleep 0.2
done
if [ -z "$win" ]; then
  echo "screenshot: the settings window did not appear" >&2
  kill "$pid" 2>/dev/null
  exit 1
fi
sleep 1.5
mkdir -p "$(dirname "$out")"
eval "$(xdotool getwindowgeometry --shell "$win")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
echo "screenshot: $out (${WIDTH}x${HEIGHT})"
wineserver -k >/dev/null 2>&1
wait "$pid" 2>/dev/null
exit 0
