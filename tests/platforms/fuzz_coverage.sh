#!/usr/bin/env bash
# libFuzzer on the dump reader and the whole report, seeded with the
# fixtures of every dump form, the hypervisors' logs among them. Each target must reach its coverage floor,
# set from measured runs well below what they reach: a build that loses the
# instrumentation of the code under test (then a few dozen) cannot pass.
#
#   fuzz_coverage.sh FUZZ_BUILD SECONDS
set -uo pipefail
build=$1 seconds=$2
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
corpus=$(mktemp -d); trap 'rm -rf "$corpus"' EXIT
fail=0
for target_and_floor in dump_parser_fuzz:450 report_fuzz:800; do
  target=${target_and_floor%:*} floor=${target_and_floor#*:}
  rm -rf "$corpus" && mkdir "$corpus"
  cp "$source_dir"/tests/fixtures/*.txt "$corpus"/
  for seed in "$source_dir"/tests/fixtures/three_cpus/*.txt "$source_dir"/tests/fixtures/three_cpus/*.xml \
    "$source_dir"/tests/fixtures/three_cpus/hwloc/pu*; do
    cp "$seed" "$corpus/three_cpus_$(basename "$seed")"
  done
  cp "$source_dir"/tests/fixtures/hypervisor/*.log "$corpus"/
  (cd "$build" && ./"$target" -max_total_time="$seconds" -print_final_stats=0 "$corpus") >"$corpus.log" 2>&1
  status=$?
  coverage=$(grep -o 'DONE *cov: [0-9]*' "$corpus.log" | grep -o '[0-9]*$')
  if [ "$status" -ne 0 ] || [ -z "$coverage" ]; then
    echo "FAILED: $target (status $status):"; tail -n 30 "$corpus.log"; fail=1
  elif [ "$coverage" -lt "$floor" ]; then
    echo "FAILED: $target reached cov: $coverage, below its floor of $floor"; fail=1
  else
    echo "ok: $target: cov: $coverage (floor $floor), $(grep -o 'Done [0-9]* runs' "$corpus.log")"
  fi
  rm -f "$corpus.log"
done
[ "$fail" -eq 0 ]
