#!/usr/bin/env bash
# check-deb.sh [DEB]: installs the Debian package (default build/harpoly_*.deb,
# made by `make deb`) with apt-get, starts the installed program once
# offscreen, removes the package and checks that only the user's own settings
# are left. Needs root; without it, or when harpoly is installed already (a
# copy this script must not remove), it says so and skips.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
skip() { echo "check-deb: skipped: $*"; exit 0; }
fail() { echo "check-deb: FAIL: $*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
if dpkg-query -W -f='${Status}' harpoly 2>/dev/null | grep -q 'ok installed'; then
    skip "harpoly is installed on this machine already"
fi
deb=${1:-}
if [ -z "$deb" ]; then
    debs=("$root"/build/harpoly_*.deb)
    [ -f "${debs[0]}" ] || fail "no package in build/: run make deb first"
    deb=${debs[-1]}
fi
deb=$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")

# Its dependencies are run-time libraries, never development packages.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
[ -n "$depends" ] || fail "the package has no dependencies"
if grep -Eo '(^|, )[a-z0-9.+-]+-dev\b' <<<"$depends"; then fail "a development package in Depends"; fi
# Qt's own texts (standard buttons, context menus) come in Japanese from it.
grep -Eq '(^|, )qt6-translations-l10n\b' <<<"$depends" || fail "qt6-translations-l10n not in Depends"

work=$(mktemp -d /tmp/harpoly-deb.XXXXXX)
pid=
cleanup() {
    # A program that a failed check left running goes first.
    [ -z "$pid" ] || kill -KILL "$pid" 2>/dev/null || true
    if dpkg-query -W -f='${Status}' harpoly 2>/dev/null | grep -q 'ok installed'; then
        apt-get remove -y -q harpoly >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -q "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get install"; }
dpkg -L harpoly >"$work/files"
[ -x /usr/bin/harpoly ] || fail "no /usr/bin/harpoly"
# The menu starts what the desktop entry's Exec names.
entry=/usr/share/applications/org.harpoly.Harpoly.desktop
exec_line=$(grep '^Exec=' "$entry" || true)
[ "$exec_line" = Exec=/usr/bin/harpoly ] || fail "the desktop entry has $exec_line"

# One start of the menu's command, as a user with a home of its own. Root
# can write /usr/bin: the program must still keep its settings in the
# user's config folder.
home="$work/home"
mkdir -p "$home" "$work/runtime"
chmod 700 "$work/runtime"
cd "$work"
env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$work/runtime" \
    QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 "${exec_line#Exec=}" &
pid=$!
ini="$home/.config/harpoly/harpoly.ini"
for _ in $(seq 100); do
    [ -s "$ini" ] && break
    kill -0 $pid 2>/dev/null || break
    sleep 0.2
done
[ -s "$ini" ] || fail "the installed program seeded no $ini"
sleep 1
kill -TERM $pid
status=0
wait $pid || status=$?
pid=
[ $status -eq 0 ] || fail "the installed program ended with exit code $status"
grep -q "^Dir=$home/" "$ini" || fail "the first folder is not the home folder"
[ ! -e /usr/bin/harpoly.ini ] || fail "the program wrote /usr/bin/harpoly.ini"

apt-get remove -y -q harpoly >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get remove"; }
left=()
while read -r path; do
    # Folders such as /usr/share/icons stay when other packages use them.
    if [ -e "$path" ] && [ ! -d "$path" ]; then left+=("$path"); fi
done <"$work/files"
[ ${#left[@]} -eq 0 ] || fail "left after removal: ${left[*]}"
for folder in /usr/share/doc/harpoly /usr/share/icons/hicolor/scalable/apps/org.harpoly.Harpoly.svg; do
    [ ! -e "$folder" ] || fail "$folder is still there"
done
[ -s "$ini" ] || fail "the user's settings went with the package"
echo "check-deb: $(basename "$deb") installed, started from /usr/bin/harpoly, removed;" \
    "$(wc -l <"$work/files") paths, none left but the user's settings"
