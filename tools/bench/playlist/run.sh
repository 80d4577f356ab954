#!/usr/bin/env bash
# Builds Melvo in Release (build/bench), makes 10,000 MP3 files with lame (kept in build/bench/work-playlist)
# and runs the playlist benchmark, then the file list on the same files: tools/bench/playlist/run.sh [entries]
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
build="$root/build/bench"
work="$build/work-playlist"
entries=${1:-10000}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMELVO_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target melvo_playlist in-sorb in-wave registry

# The libraries the playlist's static libraries need, as the build linked them.
g++ -O2 -std=c++20 -fPIC \
    -I"$root/playlist" -I"$root/app" -I"$root" -I"$root/plugin-api" -I"$root/playback" \
    -I"$build/playlist/melvo_playlist_autogen/include" \
    "$root/tools/bench/playlist/BenchPlaylist.cpp" -o "$build/bench-playlist" \
    "$build/lib/libmelvo_playlist.a" "$build/lib/libmelvo_playback.a" "$build/lib/libmelvo_shell.a" \
    "$build/lib/libmelvo_platform.a" "$build/bin/registry.so" -Wl,-rpath,"$build/bin" \
    $(pkg-config --cflags --libs Qt6Widgets sdl2) -ldl -lpthread

# Real MP3 files: one 3-second tone encoded by lame (with an ID3 title), copied under 10,000 names.
mkdir -p "$work"
if [ ! -f "$work/list-$entries.m3u" ]; then
    tone_wav="$work/tone.wav"
    python3 - "$tone_wav" <<'PY'
import math, struct, sys, wave
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(2); w.setsampwidth(2); w.setframerate(44100)
    frames = bytearray()
    for i in range(44100 * 3):
        v = int(12000 * math.sin(2 * math.pi * 440 * i / 44100))
        frames += struct.pack("<hh", v, -v)
    w.writeframes(bytes(frames))
PY
    lame --quiet -b 128 --tt "Tone" --ta "Bench" "$tone_wav" "$work/tone.mp3"
    mkdir -p "$work/files"
    : >"$work/list-$entries.m3u"
    for i in $(seq -w 1 "$entries"); do
        cp "$work/tone.mp3" "$work/files/title-$i.mp3"
        echo "files/title-$i.mp3" >>"$work/list-$entries.m3u"
    done
fi
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
sync
/usr/bin/time -v "$build/bench-playlist" "$build/bin" "$work/list-$entries.m3u" 2>"$work/time.txt"
grep -E 'Maximum resident|Elapsed|User time|System time' "$work/time.txt"
echo "file list of the folder, sorted by title:"
sync
/usr/bin/time -v "$build/bench-playlist" "$build/bin" "$work/files" 2>"$work/time.txt"
grep -E 'Maximum resident|Elapsed|User time|System time' "$work/time.txt"
