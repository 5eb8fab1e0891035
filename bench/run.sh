#!/usr/bin/env bash
# Builds every benchmark, makes the corpus when it is missing (with
# bench/make-corpus.sh), runs them all.
# The corpus is $HARPOLY_CORPUS when set, else corpus/ at the repository root.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$ROOT/build}
CORPUS=${HARPOLY_CORPUS:-$ROOT/corpus}

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
for src in "$ROOT"/bench/*.cpp; do
    cmake --build "$BUILD" -j"$(nproc)" --target "$(basename "$src" .cpp)"
done

if [ ! -f "$CORPUS/MANIFEST.txt" ]; then
    bash "$ROOT/bench/make-corpus.sh" "$CORPUS"
fi

status=0
for bin in "$BUILD"/bench/*; do
    [ -f "$bin" ] && [ -x "$bin" ] || continue
    echo "== $(basename "$bin")"
    "$bin" "$CORPUS" || status=1
done
exit $status
