#!/usr/bin/env bash
# Runs every fuzz target of the fuzz preset (or the NAMEs given) for SECONDS
# each on its seed corpus (tests/fuzz/corpus/<name>), JOBS at a time (default 2), and prints each
# target's executions and findings. New corpus entries go to a scratch folder,
# never into the repository; a crashing input is kept under build/fuzz/findings.
# Exit status 1 when any target found something.
#   tests/fuzz/run.sh SECONDS [JOBS [NAME...]]
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:?usage: tests/fuzz/run.sh SECONDS [JOBS]}
jobs=${2:-2}
shift $(( $# < 2 ? $# : 2 ))
targets=build/fuzz/fuzz
findings=build/fuzz/findings
# The targets write their files under TMPDIR; in memory, a write's flush costs nothing.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
scratch=$(mktemp -d "${TMPDIR:-/tmp}/zem-fuzz-run-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$findings"

run_one() {
  local name=$1
  rm -rf "${findings:?}/$name"
  mkdir -p "$scratch/$name" "$findings/$name"
  # -rss_limit_mb also bounds any one allocation: a picture that takes more is a finding.
  "$targets/fuzz_$name" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$findings/$name/" "$scratch/$name" "tests/fuzz/corpus/$name" >"$scratch/$name.log" 2>&1 || true
  local executions
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$scratch/$name.log" | tail -1)
  local found
  found=$(find "$findings/$name" -type f | wc -l)
  printf '%-14s %12s executions  %s findings\n' "$name" "${executions:-?}" "$found"
  if [ "$found" -gt 0 ] || [ -z "$executions" ]; then tail -40 "$scratch/$name.log"; return 1; fi
}
export -f run_one
export seconds targets findings scratch

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for target in "$targets"/fuzz_*; do [ -x "$target" ] && names+=("$(basename "$target" | sed 's/^fuzz_//')"); done
fi
[ ${#names[@]} -gt 0 ] || { echo "no fuzz targets in $targets: cmake --preset fuzz && cmake --build --preset fuzz"; exit 1; }
printf '%s\n' "${names[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one {}'
