#!/usr/bin/env bash
# Builds the player and the plug-ins in Release (build/bench) and runs the player benchmark.
# Usage: tools/bench/player/run.sh [SECONDS]   (default 60; the test MP3 is kept in build/bench/work)
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
build="$root/build/bench"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMELVO_TESTS=OFF > /dev/null
cmake --build "$build" -j2 --target melvo_playback in-sorb in-wave registry
mkdir -p "$build/work"
g++ -O2 -std=c++20 -fPIC -rdynamic -Wl,--undefined=MelvoHostMessageBox \
    -I"$root/playback" -I"$root/app" -I"$root" -I"$root/plugin-api" \
    $(pkg-config --cflags Qt6Widgets sdl2) \
    "$root/tools/bench/player/BenchPlayer.cpp" -o "$build/bench-player" \
    "$build/lib/libmelvo_playback.a" "$build/lib/libmelvo_shell.a" "$build/lib/libmelvo_platform.a" \
    "$build/bin/registry.so" -Wl,-rpath,"$build/bin" \
    $(pkg-config --libs Qt6Widgets sdl2) -ldl -lpthread
"$build/bench-player" "$build/bin" "$build/work" "${1:-60}"
