#!/usr/bin/env bash
# Builds the plug-in in Release (build/bench) and runs the in-sorb benchmark. Test files are kept in
# build/bench/work between runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
build="$root/build/bench"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMELVO_TESTS=OFF > /dev/null
cmake --build "$build" -j2 --target in-sorb
g++ -O2 -std=c++20 -I"$root/plugin-api" "$root/tools/bench/in-sorb/BenchInSorb.cpp" -o "$build/bench-in-sorb" -ldl
"$build/bench-in-sorb" "$build/bin" "$build/work"
