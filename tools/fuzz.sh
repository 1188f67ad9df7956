#!/usr/bin/env bash
# Runs the front end's fuzzers (libFuzzer with AddressSanitizer and UBSan)
# from their committed seeds. By default each runs 100000 inputs after
# building the sanitizer tree; any crash, hang, leak or sanitizer report
# fails. New inputs a run finds stay in its work folder, not in the seeds.
#
#   tools/fuzz.sh [--build DIR] [--no-build] [--runs N | --seconds S] [NAME...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SOLVANE_BUILD_DIR:-$root/build}/sanitize
runs=100000
seconds=
make=yes
names=()
while (($#)); do
  case $1 in
    --build) build=$2; shift 2 ;;
    --no-build) make=no; shift ;;
    --runs) runs=$2; seconds=; shift 2 ;;
    --seconds) seconds=$2; runs=; shift 2 ;;
    -h|--help) sed -n '2,8p' "$0"; exit 0 ;;
    -*) echo "fuzz.sh: unknown option $1" >&2; exit 2 ;;
    *) names+=("$1"); shift ;;
  esac
done
seeds=$root/tests/fuzz/corpus
((${#names[@]})) || names=($(ls "$seeds"))

if [[ $make == yes ]]; then
  "$root/tools/bootstrap.sh"
  "$root/tools/build_sanitized.sh" "$build"
fi

limit=(-runs="$runs")
[[ -n $seconds ]] && limit=(-max_total_time="$seconds")
status=0
for name in "${names[@]}"; do
  fuzzer=$build/tests/fuzz/${name}_fuzz
  [[ -x $fuzzer ]] || { echo "fuzz.sh: $fuzzer is missing: build the sanitizer tree" >&2; exit 1; }
  work=$(mktemp -d "$build/fuzz-$name.XXXXXX")
  log=$work/log
  # The work folder comes first: libFuzzer writes what it finds there.
  if ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      "$fuzzer" "${limit[@]}" -timeout=10 -rss_limit_mb=2048 -max_len=8192 -print_final_stats=1 \
      -artifact_prefix="$work/" "$work" "$seeds/$name" >"$log" 2>&1; then
    inputs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz $name: ${inputs:-?} inputs, clean"
    rm -rf "$work"
  else
    echo "fuzz $name: FAILED; log and the failing input are in $work" >&2
    grep -E 'ERROR|runtime error|property broken|SUMMARY|Test unit written' "$log" >&2 || tail -30 "$log" >&2
    status=1
  fi
done
exit $status
