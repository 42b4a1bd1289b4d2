#!/bin/bash
# Whole processes, from start to exit, over the generated track tables (the files in the page
# cache): hyperfine times `klango-cli check` and `klango-cli list --csv` of 100 000 and 1 000 000
# tracks and shapelib's `dbfdump` of the 100 000 table for comparison; /usr/bin/time gives the
# peak memory (max RSS) of one run of each.
#
#   bench/measure_processes.sh [build folder] [hyperfine options ...]
#
# The build folder (default: build beside this script's folder) must hold klango-cli and
# klango_bench (which generates the tables, or finds them from an earlier run). Each run works
# on its own copy of the tables, so that nobody else's run holds their locks.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-$here/../build}" && pwd)"
shift || true
for exe in klango-cli klango_bench; do
    if [ ! -x "$build/$exe" ]; then
        echo "Im Build-Verzeichnis $build fehlt $exe." >&2
        exit 2
    fi
done
for tool in hyperfine dbfdump /usr/bin/time; do
    command -v "$tool" > /dev/null || { echo "$tool ist nicht installiert (scripts/setup)." >&2; exit 2; }
done

home="$(mktemp -d /tmp/klango-processes.XXXXXX)"
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/Daten"
for records in 100000 1000000; do
    table="$("$build/klango_bench" --generate_track_table="$records" | tail -n 1)"
    [ -f "$table" ] || { echo "Die Tabelle $table wurde nicht erzeugt." >&2; exit 2; }
    cp "$table" "$home/Daten/Bench$records.dbf"
done
cli="$build/klango-cli --home $home"
small="$home/Daten/Bench100000.dbf"
# The index files exist from here on, as after any first check; every run rebuilds them.
$cli check Bench100000 > /dev/null
$cli check Bench1000000 > /dev/null

hyperfine --warmup 1 --style basic "$@" \
    -n "check 100000" "$cli check Bench100000" \
    -n "check 1000000" "$cli check Bench1000000" \
    -n "list --csv 100000" "$cli list Bench100000 --csv" \
    -n "list --csv 1000000" "$cli list Bench1000000 --csv" \
    -n "dbfdump 100000" "dbfdump $small"

echo
echo "Spitzenspeicher (max RSS):"
peak() {
    local label="$1"
    shift
    /usr/bin/time -f '%M' -o "$home/peak" "$@" > /dev/null 2>&1
    printf '  %-20s %6.0f MB\n' "$label" "$(awk '{ kb = $1 } END { print kb / 1024 }' "$home/peak")"
}
peak "check 100000" $cli check Bench100000
peak "check 1000000" $cli check Bench1000000
peak "list --csv 100000" $cli list Bench100000 --csv
peak "list --csv 1000000" $cli list Bench1000000 --csv
peak "dbfdump 100000" dbfdump "$small"
