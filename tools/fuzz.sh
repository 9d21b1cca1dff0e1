#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time on
# a copy of its seed corpus, two at a time; fails when any target finds a
# crash, a leak, a hang or a broken property. Installs nothing
# (tools/install-deps.sh brings clang).
# Usage: tools/fuzz.sh [build-dir] [seconds-per-target]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${1:-build-fuzz}
seconds=${2:-20}
jobs=$(nproc)
[ "$jobs" -gt 2 ] && jobs=2

CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DQUORVELLA_FUZZ=ON \
  -DQUORVELLA_GUI=OFF -DQUORVELLA_CLI=OFF -DQUORVELLA_TESTS=OFF -DQUORVELLA_BENCH=OFF
cmake --build "$build" --parallel "$jobs"

mapfile -t fuzzers < <(find "$(realpath "$build")/fuzz" -type f -name 'fuzz_*' -perm -u+x | sort)
if [ ${#fuzzers[@]} -eq 0 ]; then
  echo "no fuzz targets were built" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs one target in its own folder (where libFuzzer drops any reproducer);
# its exit status is written to $work/<name>/status.
run_fuzzer() {
  local fuzzer=$1 name
  name=$(basename "$fuzzer")
  local dir="$work/$name"
  mkdir -p "$dir/corpus"
  # Seeds live in fuzz/<layer>/corpus/<target>/; the copy keeps the tree clean.
  for seeds in "$root"/fuzz/*/corpus/"$name"; do
    if [ -d "$seeds" ]; then cp -R "$seeds"/. "$dir/corpus"/; fi
  done
  local status=0
  (cd "$dir" && "$fuzzer" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 corpus >log 2>&1) || status=$?
  echo "$status" >"$dir/status"
}

running=0
for fuzzer in "${fuzzers[@]}"; do
  echo "== $(basename "$fuzzer"): ${seconds}s"
  run_fuzzer "$fuzzer" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
done
wait || true

failed=()
for fuzzer in "${fuzzers[@]}"; do
  name=$(basename "$fuzzer")
  dir="$work/$name"
  if [ "$(cat "$dir/status" 2>/dev/null || echo 1)" != 0 ]; then
    failed+=("$name")
    echo "== $name FAILED"
    tail -n 60 "$dir/log"
    for reproducer in "$dir"/crash-* "$dir"/leak-* "$dir"/timeout-* "$dir"/oom-*; do
      if [ -e "$reproducer" ]; then
        echo "reproducer $(basename "$reproducer") (base64): $(base64 -w0 "$reproducer" | head -c 800)"
      fi
    done
  else
    echo "$name: $(grep -E 'stat::number_of_executed_units' "$dir/log" | tail -n 1 || true)"
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing failed: ${failed[*]}" >&2
  exit 1
fi
echo "all ${#fuzzers[@]} fuzz targets ran ${seconds}s each without a failure"
