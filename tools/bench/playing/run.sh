#!/usr/bin/env bash
# The cost of a playing window: Melvo and Audacious (GTK window, SDL output) side by side under one Xvfb,
# each playing the same MP3 into SDL's dummy driver; CPU over the same stretch of playback, and what
# decoding alone costs (mpg123 -t) for scale.
#   tools/bench/playing/run.sh [SECONDS]   (default 40)
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
build="$root/build/bench"
work="$build/work-playing"
seconds=${1:-40}
"$root/scripts/setup"
command -v audacious >/dev/null || { echo "audacious is not installed"; exit 1; }
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMELVO_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target melvo in-sorb in-wave

mkdir -p "$work"
title="$work/title.mp3"
if [ ! -f "$title" ]; then
    # Long enough to play through the warm-up and the measured stretch; music-like, so decoding is real work.
    python3 - "$work/title.wav" $((seconds + 30)) <<'PY'
import math, random, struct, sys, wave
random.seed(7)
n = 44100 * int(sys.argv[2])
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(2); w.setsampwidth(2); w.setframerate(44100)
    frames = bytearray()
    for i in range(n):
        l = 8000 * math.sin(i * 0.0627) + 3000 * math.sin(i * 0.013) + random.randint(-400, 400)
        r = 7000 * math.sin(i * 0.0311 + 1) + random.randint(-400, 400)
        frames += struct.pack("<hh", int(l), int(r))
    w.writeframes(bytes(frames))
PY
    lame --quiet -b 192 --tt "Bench Title" --ta "Bench" "$work/title.wav" "$title"
    rm -f "$work/title.wav"
fi

pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    sleep 1
    for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap cleanup EXIT

# One private user per program, so neither finds anything of yours or of an earlier run.
user() {
    rm -rf "$work/$1"
    mkdir -p "$work/$1/config" "$work/$1/data" "$work/$1/run"
    chmod 700 "$work/$1/run"
}
user melvo
user audacious
mkdir -p "$work/melvo/config/Melvo"
printf '[WINDOW-STATUS]\nLeft=0\nTop=0\nRight=900\nBottom=700\n' >"$work/melvo/config/Melvo/Melvo.conf"

display=:$((70 + RANDOM % 9))
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display SDL_AUDIODRIVER=dummy
sleep 1

# Audacious takes its output plug-in from its plug-in registry, which it writes on its first run: run it
# once headless, then enable SDL output alone.
(export XDG_CONFIG_HOME="$work/audacious/config" XDG_DATA_HOME="$work/audacious/data" XDG_RUNTIME_DIR="$work/audacious/run"
 timeout 8 dbus-run-session -- audacious -H >/dev/null 2>&1 || true)
python3 - "$work/audacious/config/audacious/plugin-registry" <<'PY'
import sys
path = sys.argv[1]
lines = open(path).read().split("\n")
# A plug-in's block starts with its "output PATH" line; its "enabled N" follows within the block.
enable = None
for i, line in enumerate(lines):
    if line.startswith("output "):
        enable = line.endswith("/sdlout.so")
    elif enable is not None and line.startswith("enabled "):
        lines[i] = "enabled " + ("1" if enable else "0")
        enable = None
open(path, "w").write("\n".join(lines))
PY

XDG_CONFIG_HOME="$work/melvo/config" XDG_DATA_HOME="$work/melvo/data" XDG_RUNTIME_DIR="$work/melvo/run" \
    QT_QPA_PLATFORM=xcb "$build/bin/melvo" -nologo -p "$title" >/dev/null 2>&1 &
melvo=$!
pids+=($melvo)
XDG_CONFIG_HOME="$work/audacious/config" XDG_DATA_HOME="$work/audacious/data" XDG_RUNTIME_DIR="$work/audacious/run" \
    dbus-run-session -- bash -c 'echo "$DBUS_SESSION_BUS_ADDRESS" >"$0"; exec audacious -G "$1"' \
    "$work/audacious/bus" "$title" >/dev/null 2>&1 &
session=$!
pids+=($session)

audacious=""
for _ in $(seq 50); do
    audacious=$(pgrep -P "$session" -x audacious || true)
    [ -z "$audacious" ] && audacious=$(pgrep -x audacious -n || true)
    [ -n "$audacious" ] && break
    sleep 0.2
done
[ -n "$audacious" ] || { echo "Audacious did not start"; exit 1; }
pids+=($audacious)

sleep 6 # both windows up and playing
# A benchmark of an Audacious that does not play would mean nothing.
audtool_() { DBUS_SESSION_BUS_ADDRESS=$(cat "$work/audacious/bus") audtool "$@"; }
[ "$(audtool_ playback-status)" = playing ] && [ "$(audtool_ current-song-output-length-seconds)" -gt 0 ] ||
    { echo "Audacious is not playing"; exit 1; }
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
m0=$(ticks "$melvo"); a0=$(ticks "$audacious")
sleep "$seconds"
m1=$(ticks "$melvo"); a1=$(ticks "$audacious")
echo "Audacious played to $(audtool_ current-song-output-length) of its title"

# Decoding alone, the same stretch of the same file, for scale.
frames=$((seconds * 44100 / 1152))
decode=$( { /usr/bin/time -f '%U %S' mpg123 -q -t -n "$frames" "$title" >/dev/null; } 2>&1 | awk '{print $1 + $2}')

python3 - "$seconds" "$hz" "$m0" "$m1" "$a0" "$a1" "$decode" <<'PY'
import sys
secs, hz = float(sys.argv[1]), float(sys.argv[2])
m = (float(sys.argv[4]) - float(sys.argv[3])) / hz
a = (float(sys.argv[6]) - float(sys.argv[5])) / hz
d = float(sys.argv[7])
print(f"{secs:.0f} s of playback with the window shown")
print(f"  Melvo      {m:6.2f} s CPU  {100 * m / secs:5.2f} % of a core")
print(f"  Audacious  {a:6.2f} s CPU  {100 * a / secs:5.2f} % of a core")
print(f"  decoding   {d:6.2f} s CPU  (mpg123 -t, same stretch)")
if a > 0:
    print(f"  Melvo / Audacious = {m / a:.2f}")
PY
