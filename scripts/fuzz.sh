#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer and runs each for MINUTES minutes, starting
# from its corpus in fuzz/corpus. Prints, per target, the inputs run and what was found;
# found inputs are left in build-fuzz/findings/NAME (add them to fuzz/corpus/NAME once
# mended, so the replay tests keep them). Exits non-zero when anything was found.
# Usage: scripts/fuzz.sh MINUTES [TARGET...]   (needs clang: apt-get install clang)
set -uo pipefail
cd "$(dirname "$0")/.."
minutes=${1:?usage: scripts/fuzz.sh MINUTES [TARGET...]}
shift
targets=("$@")
[ "${#targets[@]}" -gt 0 ] || targets=(gridfile categories settings text holidays)
build=build-fuzz

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DTALLYDAY_FUZZ=ON -DTALLYDAY_BUILD_TESTS=OFF -DTALLYDAY_BUILD_BENCH=OFF >/dev/null || exit 2
cmake --build "$build" --target "${targets[@]/#/fuzz_}" || exit 2

found_any=0
summary=""
for name in "${targets[@]}"; do
  work="$build/corpus/$name"
  findings="$build/findings/$name"
  mkdir -p "$work" "$findings"
  cp -n fuzz/corpus/"$name"/* "$work"/ 2>/dev/null
  log="$build/fuzz-$name.log"
  # The settings target writes a file per input: keep its folder on the fuzzer's own.
  TMPDIR="$build" "$build/fuzz/fuzz_$name" "$work" -max_total_time=$((minutes * 60)) -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" >"$log" 2>&1
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  found=$(find "$findings" -type f | wc -l)
  [ "$found" -eq 0 ] || found_any=1
  summary+="$name: ${runs:-?} inputs in $minutes min, $found found"$'\n'
done
printf '%s' "$summary"
exit "$found_any"
