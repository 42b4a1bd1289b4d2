#!/bin/bash
# The copy of tracks, whole processes from start to exit, against `cp -r` of the same files in
# the same run (files in the page cache): 20 files of 50 MB and 5 000 files of 64 KiB, each
# imported into a database first. klango-cli copy writes the copy database too and flushes the
# destination's file system at the end, so `cp -r` is also timed followed by `sync -f`.
#
#   bench/measure_copy.sh [build folder] [hyperfine options ...]
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-$here/../build}" && pwd)"
shift || true
[ -x "$build/klango-cli" ] || { echo "Im Build-Verzeichnis $build fehlt klango-cli." >&2; exit 2; }
command -v hyperfine > /dev/null || { echo "hyperfine ist nicht installiert (scripts/setup)." >&2; exit 2; }

work="$(mktemp -d "${KLANGO_BENCH_DIR:-/tmp}/klango-copy.XXXXXX")"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home/Daten"
cli="$build/klango-cli --home $work/home"

measure() {  # name count size
    local name=$1 count=$2 size=$3
    shift 3
    local src="$work/$name" out="$work/out-$name"
    mkdir -p "$src/Album"
    for i in $(seq 1 "$count"); do
        head -c "$size" /dev/urandom > "$src/Album/Titel $i.mp3"
    done
    $cli import "$src" --db "$name" > /dev/null
    echo "== $count Dateien zu $size Bytes"
    hyperfine --warmup 1 --runs "${RUNS:-5}" "$@" \
        --prepare "rm -rf '$out' '$work/home/Daten/Kopie'* && mkdir -p '$out'" \
        -n "cp -r" "cp -r '$src' '$out/'" \
        -n "cp -r && sync -f" "cp -r '$src' '$out/' && sync -f '$out'" \
        -n "klango-cli copy" "$cli copy $name --to '$out' --all --database Kopie"
    rm -rf "$src" "$out"
}

measure Gross 20 $((50 * 1000 * 1000)) "$@"
measure Klein 5000 65536 "$@"
