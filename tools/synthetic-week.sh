#!/usr/bin/env bash
# synthetic-week.sh OUTPUT [INTERVAL [DAYS [OUTAGE_HOURS]]]: writes a data file
# in the logger's format as if a 10 V reference and a room thermometer had
# been logged in "Alternate Commands" for DAYS days (default 7), a line every
# INTERVAL seconds (default 10), with an outage of OUTAGE_HOURS (default 6,
# 0 for none) halfway through: what a person reviews after a week's run, to
# load into the window (radio button "Alternate Commands") or --analyze.
#
# Channel 1: 10 V + 0.3 ppm/day drift + 0.05 ppm/K times the room's swing +
# 1 uV white noise. Channel 2: 22.5 degC with a daily swing of 1.5 K and
# 0.02 K noise. The mean and filter columns are a running mean of 10 and an
# RC filter of 10 samples of each command's own readings, as the logger
# writes them; the file starts on 2026-11-30 00:00:00 UTC, lines end CR LF.
set -eu
if [ $# -lt 1 ]; then
    echo "usage: synthetic-week.sh OUTPUT [INTERVAL [DAYS [OUTAGE_HOURS]]]" >&2
    exit 2
fi
out=$1
interval=${2:-10}
days=${3:-7}
outage=${4:-6}

LC_ALL=C awk -v interval="$interval" -v days="$days" -v outage="$outage" '
function gauss() { return sqrt(-2 * log(1 - rand())) * cos(6.283185307179586 * rand()) }
function sample(c, x,    k) {
    # Running mean of the last 10 readings of this channel.
    k = n[c] % 10
    if (n[c] >= 10) sum[c] -= ring[c, k]
    ring[c, k] = x; sum[c] += x; n[c]++
    mean = sum[c] / (n[c] < 10 ? n[c] : 10)
    # RC filter with a time constant of 10 samples, started at the first reading.
    if (n[c] == 1) state[c] = 10 * x
    else state[c] = state[c] - state[c] / 10 + x
    filter = state[c] / 10
}
BEGIN {
    srand(20261130)
    start = 1795996800                     # 2026-11-30 00:00:00 UTC
    lines = int(days * 86400 / interval)
    gapFrom = start + days * 43200; gapTo = gapFrom + outage * 3600
    for (i = 0; i < lines; i++) {
        t = start + i * interval
        if (t >= gapFrom && t < gapTo) continue
        day = (t - start) / 86400
        room = 22.5 + 1.5 * sin(6.283185307179586 * (day - 0.3)) + 0.02 * gauss()
        c = written++ % 2
        if (c == 0) x = 10 * (1 + 0.3e-6 * day + 0.05e-6 * (room - 22.5)) + 1e-6 * gauss()
        else x = room
        sample(c, x)
        printf "%s, %+.8E, %.8E, %.8E\r\n", strftime("%Y-%m-%d %H:%M:%S", t, 1), x, mean, filter
    }
}' > "$out"
echo "wrote $(wc -l < "$out") lines to $out"
