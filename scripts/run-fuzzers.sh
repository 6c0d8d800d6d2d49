#!/usr/bin/env bash
# run-fuzzers.sh SECONDS: runs every fuzzer of build/fuzz for SECONDS each,
# starting from the committed seed corpus. Any crash, leak, timeout or
# sanitizer report fails the run; the input that did it is left in build/fuzz/artifacts/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
bin=$root/build/fuzz/tests/fuzz
art=$root/build/fuzz/artifacts
mkdir -p "$art"
status=0
passed=0
failed=0
for exe in "$bin"/*_fuzz; do
  name=$(basename "$exe" _fuzz)
  work=$root/build/fuzz/corpus/$name
  mkdir -p "$work"
  echo "fuzz: $name for ${seconds}s"
  if ! "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$art/$name-" "$work" "$root/tests/fuzz/corpus/$name" 2>"$art/$name.log"; then
    echo "fuzz: $name FAILED"; tail -30 "$art/$name.log"; status=1; failed=$((failed + 1))
  else
    grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$art/$name.log" | sed "s/^/fuzz: $name /"
    passed=$((passed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
exit $status
