#!/usr/bin/env bash
# Builds the freedb lookup benchmark and runs it: tools/bench/freedb/run.sh [records] [lookups]
# The generated database stays in build/bench/freedb-db for later runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
out="$root/build/bench"
mkdir -p "$out"
g++ -O2 -std=c++20 -fPIC -I"$root/freedb" -I"$root/app" -I"$root" -I"$root/components" \
    "$root/tools/bench/freedb/BenchFreedbLookup.cpp" "$root/freedb/TitleFile.cpp" "$root/freedb/Xmcd.cpp" \
    "$root/tools/fuzz/freedb/Stubs.cpp" -o "$out/bench-freedb" $(pkg-config --cflags --libs Qt6Core) -lpthread
"$out/bench-freedb" "$out/freedb-db" "${1:-500000}" "${2:-1000}"
