#!/usr/bin/env bash
# Runs the benchmark suite: kelpa against CPython, Lua 5.4 and C (gcc -O2)
# on every script of bench/scripts, side by side in one run.
#
#   bash bench/run.sh [NAME...]        (default: every benchmark)
#
# Builds kelpa Release in build-bench/ when needed and the C peers beside
# it, checks that every program prints the expected checksum (NAME.out),
# then times them with hyperfine in ROUNDS rounds (default 5), each round
# running every program once in turn, so the programs are measured
# interleaved under the same load. Peak memory is each program's maximum
# resident set from /usr/bin/time. bench/report.py prints the table: median
# times, kelpa's ratio to each peer, peak memory, start-up time on an empty
# main, and the geometric mean of the kelpa/CPython ratios.
#
# Environment: ROUNDS, STARTUP_RUNS (runs per round of the start-up
# scripts, default 10), PYTHON (default /usr/bin/python3, else python3),
# LUA (default lua5.4), CC (default gcc), BUILD (default build-bench),
# KELPA (an interpreter to measure instead of building one) and
# KELPA_LABEL (how the table names it).
set -u

here=$(cd "$(dirname "$0")" && pwd -P)
root=$(dirname "$here")
scripts=$here/scripts
build=${BUILD:-$root/build-bench}
rounds=${ROUNDS:-5}
startup_runs=${STARTUP_RUNS:-10}
python=${PYTHON:-python3}
# Debian's CPython, like its Lua: a python3 found first on PATH may be a
# development build with a heavy start-up (site packages, launcher shims).
[ -z "${PYTHON:-}" ] && [ -x /usr/bin/python3 ] && python=/usr/bin/python3
lua=${LUA:-lua5.4}
cc=${CC:-gcc}
benchmarks=(fib loops sieve quicksort matrix text lookup)
[ $# -gt 0 ] && benchmarks=("$@")

missing=0
need() {  # need COMMAND DEBIAN-PACKAGE
  if ! command -v "$1" >/dev/null 2>&1; then
    echo "run.sh: '$1' not found; install it with: apt-get install $2" >&2
    missing=1
  fi
}
need hyperfine hyperfine
need "$python" python3
need "$cc" gcc
need cmake cmake
[ -x /usr/bin/time ] || { echo "run.sh: /usr/bin/time not found; install it with: apt-get install time" >&2; missing=1; }
if ! command -v "$lua" >/dev/null 2>&1; then
  echo "run.sh: '$lua' not found; install it with: apt-get install lua5.4 (Lua is left out of this run)" >&2
  lua=""
fi
[ "$missing" -eq 0 ] || exit 1
# Time the interpreter itself, not a launcher script in front of it (pyenv).
python=$("$python" -c 'import sys; print(sys.executable)') || exit 1

# kelpa, Release, in its own build directory.
if [ -n "${KELPA:-}" ]; then
  kelpa=$(cd "$(dirname "$KELPA")" && pwd -P)/$(basename "$KELPA")
  [ -x "$kelpa" ] || { echo "run.sh: $KELPA is not an executable" >&2; exit 1; }
  mkdir -p "$build"
else
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null || exit 1
  fi
  if ! grep -q '^CMAKE_BUILD_TYPE:STRING=Release$' "$build/CMakeCache.txt"; then
    echo "run.sh: $build is not a Release build; set BUILD to another directory" >&2
    exit 1
  fi
  cmake --build "$build" --target kelpa -j2 >/dev/null || { echo "run.sh: building kelpa failed" >&2; exit 1; }
  kelpa=$build/kelpa
fi

# The C peers.
peers=$build/bench-peers
results=$build/bench-results
mkdir -p "$peers"
rm -rf "$results" && mkdir -p "$results"
for name in "${benchmarks[@]}" empty; do
  "$cc" -O2 -o "$peers/$name" "$scripts/$name.c" || { echo "run.sh: compiling $name.c failed" >&2; exit 1; }
done

# One command per language for a benchmark NAME, in table order.
commands() {
  local name=$1
  printf '%s\n' "$kelpa $scripts/$name.kel" "$python $scripts/$name.py"
  [ -n "$lua" ] && printf '%s\n' "$lua $scripts/$name.lua"
  printf '%s\n' "$peers/$name"
}
labels() {
  printf '%s\n' kelpa python
  [ -n "$lua" ] && printf '%s\n' lua
  printf '%s\n' c
}

# Every program must print the expected checksum before it is timed.
failed=0
for name in "${benchmarks[@]}"; do
  while read -r cmd; do
    if ! $cmd 2>&1 | cmp -s - "$scripts/$name.out"; then
      echo "run.sh: '$cmd' does not print the checksum in $name.out" >&2
      failed=1
    fi
  done < <(commands "$name")
done
[ "$failed" -eq 0 ] || exit 1

measure() {  # measure NAME RUNS-PER-ROUND
  local name=$1 runs=$2 round warmup
  mapfile -t cmds < <(commands "$name")
  mapfile -t names < <(labels)
  echo "timing $name (${#cmds[@]} programs, $rounds rounds)" >&2
  for ((round = 1; round <= rounds; round++)); do
    warmup=0
    [ "$round" -eq 1 ] && warmup=1
    hyperfine -N --style none --warmup "$warmup" --runs "$runs" \
      --export-json "$results/$name.$round.json" "${cmds[@]}" >/dev/null 2>>"$results/hyperfine.log" ||
      { cat "$results/hyperfine.log" >&2; exit 1; }
  done
  for i in "${!cmds[@]}"; do
    /usr/bin/time -f %M -o "$results/$name.${names[$i]}.rss" ${cmds[$i]} >/dev/null || exit 1
  done
}

for name in "${benchmarks[@]}"; do
  measure "$name" 1
done
measure empty "$startup_runs"

if [ -n "${KELPA:-}" ]; then
  echo "${KELPA_LABEL:-kelpa $kelpa}" >"$results/commit"
else
  echo "kelpa $(git -C "$root" rev-parse --short HEAD 2>/dev/null)$(git -C "$root" diff --quiet HEAD -- src include 2>/dev/null || echo ' (with uncommitted changes in src/)')" \
    >"$results/commit"
fi
PYTHON=$python LUA=$lua CC=$cc "$python" "$here/report.py" "$results" "$(labels | tr '\n' ' ')" "${benchmarks[@]}"
