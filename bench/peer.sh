#!/bin/bash
# The peer comparison: reading a large GDB file written by GPSBabel with
# lorvane-cli, with GPSBabel itself, and with a plain read of the file; and
# reading the GPX file it was made from with lorvane-cli and with GPSBabel.
#
#   bench/peer.sh [BUILD_FOLDER [WORK_FOLDER]]
#
# BUILD_FOLDER holds the built lorvane-cli and lorvane-make-inputs (default
# build/bench); WORK_FOLDER receives the generated files (default
# BUILD_FOLDER/peer). RUNS (default 11) sets the runs per command; the commands
# take turns, one run each, so that they share the machine's load alike, and
# each gets one unmeasured run first. Prints the median time and the peak
# memory of each command and the ratios between them.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/bench}" && pwd)
work=${2:-$build/peer}
runs=${RUNS:-11}
cli=$build/cli/lorvane-cli
make_inputs=$build/bench/lorvane-make-inputs
mkdir -p "$work"

for tool in "$cli" "$make_inputs"; do
    [ -x "$tool" ] || { echo "peer.sh: $tool is missing; run tools/bench.sh or build it first" >&2; exit 1; }
done

# GPSBabel (the peer) and GNU time (for the peak memory), from Debian.
install() {
    local sudo=
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get install -y "$@" > "$work/apt.log" 2>&1 || {
        $sudo apt-get update > /dev/null 2>&1 && $sudo apt-get install -y "$@" > "$work/apt.log" 2>&1
    } || { echo "peer.sh: cannot install $*; see $work/apt.log" >&2; exit 1; }
}
command -v gpsbabel > /dev/null || install gpsbabel
[ -x /usr/bin/time ] || install time

# 10,000 waypoints and one track of 1,000,000 points, as GPX, which GPSBabel
# writes into a GDB file of version 3 (the layout of MapSource 6.12 on, with
# UTF-8 names). Made once; delete WORK_FOLDER to make them again.
gdb=$work/big.gdb
gpx=$work/bench.gpx
if [ ! -s "$gdb" ] || [ ! -s "$gpx" ]; then
    "$make_inputs" --waypoints 10000 --tracks 1 --points 1000000 --kinds gpx "$work" > /dev/null
    gpsbabel -i gpx -f "$gpx" -o gdb,ver=3 -F "$gdb"
fi
size=$(stat -c %s "$gdb")
gpxSize=$(stat -c %s "$gpx")

# lorvane-cli must read the whole file for the comparison to mean anything.
for file in "$gdb" "$gpx"; do
    "$cli" list "$file" 2> "$work/list.err" > /dev/null || { echo "peer.sh: lorvane-cli did not load $file:" >&2; cat "$work/list.err" >&2; exit 1; }
done
"$cli" list "$gdb" 2> "$work/list.err" > /dev/null

names=(gpsbabel lorvane-list lorvane-list-json cat gpsbabel-gpx lorvane-list-gpx)
declare -A commands=(
    [gpsbabel]="gpsbabel -i gdb -f $gdb -o unicsv -F /dev/null"
    [lorvane-list]="$cli list $gdb"
    [lorvane-list-json]="$cli list --json $gdb"
    [cat]="cat $gdb"
    [gpsbabel-gpx]="gpsbabel -i gpx -f $gpx -o unicsv -F /dev/null"
    [lorvane-list-gpx]="$cli list $gpx"
)

# One run: wall time in microseconds, taken around the command alone (taken
# without starting a process, so that short commands are not swamped), then
# the peak resident memory in KB from a second run under GNU time, whose own
# start-up would otherwise count as the command's time.
measure() {
    local name=$1 start end
    start=${EPOCHREALTIME/[.,]/}
    # shellcheck disable=SC2086
    ${commands[$name]} > /dev/null 2> "$work/run.err" ||
        { echo "peer.sh: failed: ${commands[$name]}" >&2; cat "$work/run.err" >&2; exit 1; }
    end=${EPOCHREALTIME/[.,]/}
    # shellcheck disable=SC2086
    /usr/bin/time -f %M -o "$work/mem.tmp" ${commands[$name]} > /dev/null 2> "$work/run.err"
    echo "$(( end - start )) $(tail -n 1 "$work/mem.tmp")"
}

declare -A times memory
for name in "${names[@]}"; do
    measure "$name" > /dev/null
    times[$name]=""
    memory[$name]=""
done
for ((run = 0; run < runs; ++run)); do
    for name in "${names[@]}"; do
        read -r micros kb < <(measure "$name")
        times[$name]+="$micros "
        memory[$name]+="$kb "
    done
done

median() { tr ' ' '\n' | grep . | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

declare -A medianTime medianMemory
for name in "${names[@]}"; do
    medianTime[$name]=$(echo "${times[$name]}" | median)
    medianMemory[$name]=$(echo "${memory[$name]}" | median)
done

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "file: $gdb, $size bytes, written by $(gpsbabel -V 2>&1 | grep -o 'GPSBabel Version [^ ]*') (gdb,ver=3)"
echo "      $(tail -n 1 "$work/list.err")"
echo "file: $gpx, $gpxSize bytes, written by lorvane-make-inputs (GPX 1.1)"
echo "median of $runs runs each:"
printf '  %-20s %10s %10s   %s\n' what seconds "peak MB" command
for name in "${names[@]}"; do
    printf '  %-20s %10.3f %10.1f   %s\n' "$name" "$(echo "${medianTime[$name]} / 1000000" | bc -l)" \
        "$(echo "${medianMemory[$name]} / 1024" | bc -l)" "${commands[$name]}"
done
ratio() { echo "scale=2; $1 / $2" | bc -l; }
echo "ratios:"
echo "  gpsbabel / lorvane-cli list:  $(ratio "${medianTime[gpsbabel]}" "${medianTime[lorvane-list]}")  (aim: 10 or more)"
echo "  lorvane-cli list / cat:       $(ratio "${medianTime[lorvane-list]}" "${medianTime[cat]}")  (aim: 3 or less)"
limit=$(( size * 2 / 1024 + 20 * 1024 ))
echo "  lorvane-cli list peak memory: $(( ${medianMemory[lorvane-list]} / 1024 )) MB; aim: at most 2 x file + 20 MB = $(( limit / 1024 )) MB"
echo "  GPX: gpsbabel / lorvane-cli list: $(ratio "${medianTime[gpsbabel-gpx]}" "${medianTime[lorvane-list-gpx]}")  (aim: 5 or more)"
gpxLimit=$(( gpxSize / 1024 + 20 * 1024 ))
echo "  GPX: lorvane-cli list peak memory: $(( ${medianMemory[lorvane-list-gpx]} / 1024 )) MB; aim: below file + 20 MB = $(( gpxLimit / 1024 )) MB"
