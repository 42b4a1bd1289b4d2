#!/bin/bash
# The resident memory of the real program with a database of a million tracks open: makes a
# program folder whose Daten holds the generated table (a hard link), with a KLANGO.INI that opens
# it at the start, runs klango under xvfb-run until its peak memory stops growing, prints VmHWM
# and VmRSS in MB and stops the program again.
#
#   bench/measure_program_memory.sh [build folder] [records]
#
# The build folder (default: build beside this script's folder) must hold klango and
# klango_qt_bench (which generates the table, or finds it from an earlier run).
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-$here/../build}" && pwd)"
records="${2:-1000000}"
name="Fenster$records"

for exe in klango klango_qt_bench; do
    if [ ! -x "$build/$exe" ]; then
        echo "Im Build-Verzeichnis $build fehlt $exe." >&2
        exit 2
    fi
done
command -v xvfb-run > /dev/null || { echo "xvfb-run ist nicht installiert." >&2; exit 2; }

table="$(QT_QPA_PLATFORM=offscreen "$build/klango_qt_bench" --generate_track_table="$records" | tail -n 1)"
[ -f "$table" ] || { echo "Die Tabelle $table wurde nicht erzeugt." >&2; exit 2; }

home="$(mktemp -d /tmp/klango-memory.XXXXXX)"
pid=""
xvfb=""
# The program as the child of xvfb-run (it starts it once the X server is up); empty until then.
programPid() {
    ps -o pid=,comm= --ppid "$xvfb" 2> /dev/null | awk '$2 == "klango" { print $1; exit }' || true
}
stopped() { ! kill -0 "$1" 2> /dev/null; }
cleanup() {
    if [ -n "$xvfb" ]; then
        [ -n "$pid" ] || pid="$(programPid)"
        if [ -n "$pid" ] && ! stopped "$pid"; then
            kill -TERM "$pid" 2> /dev/null || true
            for _ in $(seq 50); do stopped "$pid" && break; sleep 0.1; done
            stopped "$pid" || kill -KILL "$pid" 2> /dev/null || true
        fi
        # xvfb-run stops its X server once the program is gone.
        for _ in $(seq 50); do stopped "$xvfb" && break; sleep 0.1; done
        stopped "$xvfb" || kill -TERM "$xvfb" 2> /dev/null || true
    fi
    rm -rf "$home"
}
trap cleanup EXIT

# The program finds its folder from its own file, so it runs from a copy in the program folder.
mkdir -p "$home/Daten"
cp "$build/klango" "$home/klango"
for extra in art help DBPARAMS.INI; do
    [ -e "$build/$extra" ] && cp -r "$build/$extra" "$home/"
done
ln "$table" "$home/Daten/$name.dbf" 2> /dev/null || cp "$table" "$home/Daten/$name.dbf"
printf '[System]\r\nAutoOpen=1\r\n[Database]\r\nFile=%s\r\n' "$name" > "$home/KLANGO.INI"

xvfb-run -a -s "-screen 0 1280x1024x24" "$home/klango" > "$home/klango.out" 2>&1 &
xvfb=$!

for _ in $(seq 100); do
    pid="$(programPid)"
    [ -n "$pid" ] && break
    sleep 0.1
done
[ -n "$pid" ] || { echo "Das Programm ist nicht gestartet." >&2; cat "$home/klango.out" >&2; exit 1; }

kb() { awk -v key="$1:" '$1 == key { print $2 }' "/proc/$pid/status" 2> /dev/null || true; }

start=$SECONDS
last=-1
steady=$SECONDS
while :; do
    kill -0 "$pid" 2> /dev/null || { echo "Das Programm hat sich beendet." >&2; cat "$home/klango.out" >&2; exit 1; }
    hwm="$(kb VmHWM)"
    if [ "${hwm:-0}" != "$last" ]; then
        last="${hwm:-0}"
        steady=$SECONDS
    fi
    # Open once the peak has stood still for 3 s, after the start screen's 3 s at the least.
    if (( SECONDS - steady >= 3 && SECONDS - start >= 5 )); then break; fi
    if (( SECONDS - start >= 120 )); then
        echo "Nach 120 s wächst der Speicher noch; Messung abgebrochen." >&2
        break
    fi
    sleep 0.5
done

hwm="$(kb VmHWM)"
rss="$(kb VmRSS)"
# Open means: the table file is held by the program and CHECKDATA has written its index files.
held=nein
for fd in /proc/"$pid"/fd/*; do
    [ "$(readlink "$fd" 2> /dev/null || true)" = "$home/Daten/$name.dbf" ] && held=ja
done
echo "Titel: $records"
echo "Tabelle geöffnet: $held, Indexdateien: $(find "$home/Daten" -maxdepth 1 -iname '*.ntx' | wc -l)"
echo "Zeit bis zum Stillstand: $(( steady - start )) s"
awk -v hwm="$hwm" -v rss="$rss" 'BEGIN { printf "VmHWM: %.0f MB\nVmRSS: %.0f MB\n", hwm / 1024, rss / 1024 }'
