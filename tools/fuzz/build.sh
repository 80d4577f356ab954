#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, apart from the normal GCC build, and optionally runs one.
#   tools/fuzz/build.sh                 builds build/fuzz/fuzz-in-sorb
#   tools/fuzz/build.sh run [ARGS...]   builds, then fuzzes from the seeds (default: 1,000,000 runs)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out="$root/build/fuzz"
mkdir -p "$out/corpus"

flags=(-g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -std=c++20 -I"$root" -I"$root/plugin-api" -I"$root/components/file" -I"$root/plugins/in-sorb"
       $(pkg-config --cflags libmpg123 taglib))
sources=("$root"/plugins/in-sorb/*.cpp "$root/components/file/MMFile.cpp" "$root/tools/fuzz/in-sorb/FuzzInSorb.cpp")
# Both libraries define their version export; in one binary the first wins.
clang++ "${flags[@]}" "${sources[@]}" -rdynamic -Wl,--allow-multiple-definition -o "$out/fuzz-in-sorb" $(pkg-config --libs libmpg123 taglib) -ldl
echo "built $out/fuzz-in-sorb"

if [ "${1:-}" = "run" ]; then
    shift
    args=("$@")
    [ ${#args[@]} -eq 0 ] && args=(-runs=1000000 -seed=1 -timeout=10 -rss_limit_mb=2048 -max_len=65536 -report_slow_units=2)
    args+=(-artifact_prefix="$out/")
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    exec "$out/fuzz-in-sorb" "${args[@]}" "$out/corpus" "$root/tools/fuzz/in-sorb/seeds"
fi
