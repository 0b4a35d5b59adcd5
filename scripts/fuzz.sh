#!/usr/bin/env bash
# Runs each libFuzzer target for the given number of seconds (default 60),
# the command fuzzer from the seed corpus the emulator's wire traces give.
# Needs the targets built in build-fuzz (see test-all.sh).  Corpora grow in
# build-fuzz/corpus/, findings land in build-fuzz/findings/; a finding fails
# the run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
dir=build-fuzz
mkdir -p "$dir/seeds/command" "$dir/corpus/command" "$dir/corpus/device_list" \
  "$dir/corpus/serve_request" "$dir/findings"
"$dir/fuzz/velkor_fuzz_seeds" "$dir/seeds/command"

run() {
  local target=$1
  shift
  local log="$dir/$target.log"
  echo "fuzzing $target for ${seconds}s"
  if ! "$dir/fuzz/velkor_${target}_fuzzer" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$dir/findings/" \
      "$@" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "$target: finding (input in $dir/findings/)"
    return 1
  fi
  grep -E "^stat::number_of_executed_units|^stat::new_units_added|cov: " "$log" | tail -n 3
}

# Inputs up to 8 KiB carry more than the 6000 bytes any collector keeps.
run command -max_len=8192 "$dir/corpus/command" "$dir/seeds/command"
run device_list "$dir/corpus/device_list"
# A request of a few KiB reaches every route, header and JSON body shape.
run serve_request -max_len=4096 -dict=fuzz/serve_request.dict "$dir/corpus/serve_request"
