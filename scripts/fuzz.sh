#!/usr/bin/env bash
# Builds the fuzz targets in fuzz/ with clang (libFuzzer, AddressSanitizer,
# UBSan) into build-fuzz/ and runs each for a fixed time, 30 seconds unless
# given: scripts/fuzz.sh [seconds] [target...]. Exits non-zero when any
# target finds a crash; its report is printed, and the input that caused
# it is kept in build-fuzz/artifacts/.
# Each target starts from its seed corpus in fuzz/corpus/<target>/ plus
# what earlier runs here found (build-fuzz/corpus/<target>/); the seeds in
# the repository are only read.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: scripts/fuzz.sh [seconds] [target...]" >&2
  exit 2
fi
shift $(( $# > 0 ? 1 : 0 ))
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_diagramfile fuzz_connectionstring fuzz_sqlitetablesql fuzz_sqlitetableedit)

bash "$root/scripts/deps.sh"
if ! command -v clang++ >/dev/null; then
  echo "clang++ is not installed: the fuzz targets are not run." >&2
  exit 0
fi

dir="$root/build-fuzz"
CC=clang CXX=clang++ cmake -S "$root/fuzz" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
build=()
for target in "${targets[@]}"; do
  build+=(--target "$target")
done
cmake --build "$dir" -j"$(nproc)" "${build[@]}"

failed=()
for target in "${targets[@]}"; do
  mkdir -p "$dir/corpus/$target" "$dir/artifacts" "$dir/logs"
  log="$dir/logs/$target.log"
  # The keywords of what a target reads, where fuzz/ has a dictionary for it.
  dict=()
  case "$target" in
    fuzz_sqlitetablesql|fuzz_sqlitetableedit) dict=(-dict="$root/fuzz/sql.dict") ;;
    fuzz_connectionstring) dict=(-dict="$root/fuzz/connectionstring.dict") ;;
  esac
  echo "== $target: ${seconds} s"
  # -timeout: an input that takes this long counts as a hang, a finding too.
  if "$dir/$target" "$dir/corpus/$target" "$root/fuzz/corpus/$target" \
       -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$dir/artifacts/$target-" "${dict[@]}" >"$log" 2>&1; then
    grep -E '^(Done|stat::number_of_executed_units)' "$log" || true
  else
    echo "$target FAILED; its report (all of it in $log):"
    grep -v -E '^(#[0-9]|INFO:|.*# Uses: )' "$log" | tail -n 60
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing found crashes in: ${failed[*]}" >&2
  exit 1
fi
echo "Fuzzing found nothing in ${seconds} s per target."
