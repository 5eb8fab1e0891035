#!/usr/bin/env bash
# Installs the missing Debian packages of the named sets of scripts/packages.txt
# (run, test, deb; "run" when none is named). Run as root it uses apt-get;
# otherwise it prints the line to run and stops.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
[ $# -gt 0 ] || set -- run
wanted=()
for set_name in "$@"; do
    grep -q "^\[$set_name\]\s*$" "$here/packages.txt" || {
        echo "install-deps.sh: no set [$set_name] in packages.txt" >&2
        exit 2
    }
    mapfile -t -O "${#wanted[@]}" wanted < <(
        awk -v want="[$set_name]" '
            /^\s*(#|$)/ { next }
            /^\[/ { inside = ($1 == want); next }
            inside { print $1 }' "$here/packages.txt")
done
missing=()
for p in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Install them with:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
