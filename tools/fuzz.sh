#!/usr/bin/env bash
# Fuzzes the MIDI file parser and scheduler with libFuzzer for a short while.
# Usage: tools/fuzz.sh [SECONDS]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out="$top/build/fuzz"
mkdir -p "$out/corpus"
srcs=("$top/tests/fuzz/smf_fuzz.cpp" "$top/app/midi/smf_parser.cpp" "$top/app/midi/midi_schedule.cpp")
exe="$out/smf_fuzz"
stale=0
[ -x "$exe" ] || stale=1
for s in "${srcs[@]}" "$top"/app/midi/*.h; do [ "$s" -nt "$exe" ] && stale=1; done
if [ "$stale" = 1 ]; then
    clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
        -Wall -Wextra -Werror -I"$top" -o "$exe" "${srcs[@]}"
fi
cp -n "$top"/tests/fuzz/smf_seeds/*.mid "$top"/resources/GateTune*.mid "$out/corpus/" 2>/dev/null || true
"$exe" -max_total_time="${1:-20}" -timeout=5 -rss_limit_mb=2048 -print_final_stats=1 "$out/corpus" 2>"$out/last-run.log" ||
    { tail -n 40 "$out/last-run.log" >&2; exit 1; }
grep -E 'stat::number_of_executed_units|Done' "$out/last-run.log" | tail -n 2
