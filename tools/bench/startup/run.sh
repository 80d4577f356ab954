#!/usr/bin/env bash
# Melvo and Audacious started with a 10,000-entry M3U of real MP3 files, each until it has read the list
# and gone idle, and each once more with no list: CPU seconds, wall time and peak memory side by side.
#   tools/bench/startup/run.sh [entries]
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
build="$root/build/bench"
work="$build/work-startup"
entries=${1:-10000}
"$root/scripts/setup"
command -v audacious >/dev/null || { echo "audacious is not installed (apt-get install audacious audacious-plugins)"; exit 1; }
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMELVO_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target melvo in-sorb in-wave

mkdir -p "$work/files"
list="$work/list-$entries.m3u"
if [ ! -f "$list" ]; then
    python3 - "$work/tone.wav" <<'PY'
import math, struct, sys, wave
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(2); w.setsampwidth(2); w.setframerate(44100)
    w.writeframes(b"".join(struct.pack("<hh", int(9000 * math.sin(i / 16)), 0) for i in range(44100 * 3)))
PY
    lame --quiet -b 128 --tt "Tone" --ta "Bench" "$work/tone.wav" "$work/tone.mp3"
    : >"$list"
    for i in $(seq -w 1 "$entries"); do
        cp "$work/tone.mp3" "$work/files/title-$i.mp3"
        echo "$work/files/title-$i.mp3" >>"$list"
    done
fi
sync
# Both programs read the same files: warm the page cache first, so neither pays for the disk.
xargs -d '\n' cat <"$list" >/dev/null

measure="$root/tools/bench/startup/measure.py"
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy

# Each run gets a fresh private user, so neither program finds anything of an earlier run.
fresh_user() {
    rm -rf "$work/user"
    mkdir -p "$work/user/config" "$work/user/data/Melvo/Melvo" "$work/user/run"
    chmod 700 "$work/user/run"
    export XDG_CONFIG_HOME="$work/user/config" XDG_DATA_HOME="$work/user/data" XDG_RUNTIME_DIR="$work/user/run"
    # Audacious: SDL output, so that it too plays into SDL's dummy driver.
    mkdir -p "$XDG_CONFIG_HOME/audacious"
    printf '[audacious]\noutput_plugin=sdlout\n' >"$XDG_CONFIG_HOME/audacious/config"
}

fresh_user
python3 "$measure" --label "Melvo, empty" "$build/bin/melvo" -nologo
fresh_user
cp "$list" "$XDG_DATA_HOME/Melvo/Melvo/default.std"
python3 "$measure" --label "Melvo, $entries entries" "$build/bin/melvo" -nologo
fresh_user
python3 "$measure" --label "Audacious, empty" --match audacious dbus-run-session -- audacious -H
fresh_user
python3 "$measure" --label "Audacious, $entries entries" --match audacious dbus-run-session -- audacious -H -e "$list"
