#!/usr/bin/env bash
# Starts the built program ($BUILD/harpoly, BUILD defaulting to build/).
# Without a display it starts a virtual one (Xvfb), lets the program run for a
# few seconds and saves $BUILD/screenshot.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build}
bin="$build/harpoly"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$bin"
fi
echo "No display found: starting the program on a virtual display (Xvfb)."
shot="$build/screenshot.png"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$1" & pid=$!
    sleep 4
    import -window root "$2" || xwd -root -silent | convert xwd:- "$2"
    kill $pid 2>/dev/null || true
    wait $pid 2>/dev/null || true
' _ "$bin" "$shot"
echo "Screenshot saved to $shot"
