#!/usr/bin/env bash
# check-install.sh BUILD: installs the built program into a temporary prefix
# and checks it as a user would meet it: the file list, the desktop entry and
# metainfo (by their validators), the icon sizes, and one start of the
# installed program offscreen, traced, which must open no file of the build
# or source tree and must keep its settings under $XDG_CONFIG_HOME/harpoly/
# with the home folder as its first folder.
set -euo pipefail
build=$(cd "${1:?usage: check-install.sh BUILD}" && pwd)
source=$(cd "$(dirname "$0")/.." && pwd)
id=org.harpoly.Harpoly
for tool in desktop-file-validate appstreamcli strace; do
    command -v "$tool" >/dev/null ||
        { echo "needs $tool (scripts/install-deps.sh run test)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/harpoly-install.XXXXXX)
trap '[ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
prefix="$work/prefix"
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$work/install.log"

# ---------------------------------------------------------------- file list
{
    printf '%s\n' bin/harpoly \
        "share/applications/$id.desktop" \
        "share/metainfo/$id.metainfo.xml" \
        "share/icons/hicolor/scalable/apps/$id.svg" \
        share/doc/harpoly/guide.md
    for size in 16 22 24 32 48 64 128 256; do
        echo "share/icons/hicolor/${size}x${size}/apps/$id.png"
    done
    (cd "$source/docs" && ls screenshots/*.png) | sed 's|^|share/doc/harpoly/|'
} | sort >"$work/expected"
(cd "$prefix" && find . -type f -o -type l) | sed 's|^\./||' | sort >"$work/installed"
diff -u "$work/expected" "$work/installed" || fail "installed files differ from the list"
[ -x "$prefix/bin/harpoly" ] || fail "bin/harpoly is not executable"

# ---------------------------------------------------------------- validators
desktop-file-validate "$prefix/share/applications/$id.desktop" ||
    fail "desktop-file-validate refused the desktop entry"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" ||
    fail "appstreamcli refused the metainfo"
entry="$prefix/share/applications/$id.desktop"
for key in 'Name\[ja\]' 'Comment\[ja\]' Name Comment; do
    grep -q "^$key=" "$entry" || fail "desktop entry has no $key"
done
grep -q "^Icon=$id$" "$entry" || fail "desktop entry names another icon"
grep -qx "Exec=$prefix/bin/harpoly" "$entry" || fail "desktop entry starts another program: $(grep ^Exec= "$entry")"

# PNG width and height sit big-endian at bytes 16..23.
for size in 16 22 24 32 48 64 128 256; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
    read -r w1 w2 w3 w4 h1 h2 h3 h4 < <(od -An -tu1 -j16 -N8 "$png")
    w=$(((w1 << 24) | (w2 << 16) | (w3 << 8) | w4))
    h=$(((h1 << 24) | (h2 << 16) | (h3 << 8) | h4))
    [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "$png is ${w}x$h"
done

# ---------------------------------------------------------------- one start
# The prefix is writable here, as /usr/bin is for root: the installed copy
# must still keep its settings in the user's config folder.
mkdir -p "$work/home" "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
cd "$work"
env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_CONFIG_HOME="$work/config" \
    XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 \
    strace -f -qq -e trace=%file -o "$work/trace" "$prefix/bin/harpoly" &
pid=$!
ini="$work/config/harpoly/harpoly.ini"
for _ in $(seq 100); do
    [ -s "$ini" ] && break
    kill -0 $pid 2>/dev/null || break
    sleep 0.2
done
# SIGTERM to the program (the first pid of the trace) closes its window,
# which saves the settings; strace ends with the program's exit code.
program_pid=$(awk 'NR == 1 { print $1 }' "$work/trace" 2>/dev/null || true)
if [ ! -s "$ini" ]; then
    [ -z "$program_pid" ] || kill -KILL "$program_pid" 2>/dev/null || true
    fail "no settings file seeded at $ini"
fi
sleep 1
kill -TERM "$program_pid"
status=0
wait $pid || status=$?
[ $status -eq 0 ] || fail "the installed program ended with exit code $status"

grep -q "^Dir=$work/home/"$'\r'"\?$" "$ini" || fail "first folder is not the home folder: $(cat "$ini")"
grep -q "^Work=$work/home/"$'\r'"\?$" "$ini" || fail "output folder is not the home folder"
[ -z "$(ls -A "$prefix/bin" | grep -vx harpoly)" ] || fail "the program wrote into $prefix/bin"
if grep -F -e "$build" -e "$source/" "$work/trace" >"$work/found"; then
    head -5 "$work/found" >&2
    fail "the installed program touched the build or source tree"
fi
grep -q "execve(\"$prefix/bin/harpoly\"" "$work/trace" || fail "the trace missed the program"
echo "install check: $(wc -l <"$work/installed") files, validators pass, started from $prefix/bin"
