#!/usr/bin/env bash
# Counts the instructions kelpa executes for smaller runs of the benchmark
# scripts, with valgrind's callgrind: the counts repeat exactly for the same
# binary and input, whatever else the machine is doing, so they show what a
# change to the interpreter gained where timings would be noise.
#
#   bash bench/profile.sh [path/to/kelpa]      (default: build-bench/kelpa)
#
# Each profile is kept as build-bench/profile/NAME.callgrind for
# callgrind_annotate.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kelpa=${1:-$root/build-bench/kelpa}
command -v valgrind >/dev/null || { echo "valgrind is missing (Debian package valgrind)"; exit 1; }
[ -x "$kelpa" ] || { echo "no kelpa at $kelpa: build it first (bash bench/run.sh builds build-bench)"; exit 1; }
out=$root/build-bench/profile
mkdir -p "$out"

# name, then the sed expression that shrinks the run
smaller=(
  "fib"       's/fib(30)/fib(25)/g'
  "loops"     's/i < 200/i < 30/'
  "sieve"     's/500000/50000/; s/500001/50001/'
  "quicksort" 's/60000/6000/g'
  "matrix"    's/110/40/g'
  "text"      's/400000/40000/'
  "lookup"    's/600000/60000/'
)
printf '%-10s %15s\n' script instructions
for ((i = 0; i < ${#smaller[@]}; i += 2)); do
  name=${smaller[i]}
  sed "${smaller[i + 1]}" "$root/bench/scripts/$name.kel" >"$out/$name.kel"
  count=$(valgrind --tool=callgrind --callgrind-out-file="$out/$name.callgrind" "$kelpa" "$out/$name.kel" 2>&1 >/dev/null |
    sed -n 's/.*refs: *//p')
  printf '%-10s %15s\n' "$name" "$count"
done
