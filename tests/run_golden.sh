#!/usr/bin/env bash
# Runs one script and compares what it printed with the expected output.
#
#   run_golden.sh KELPA ROOT SCRIPT SCRATCH
#
# KELPA is the interpreter, ROOT the directory tree the script lives in,
# SCRIPT its path relative to ROOT (dir/NAME.kel) and SCRATCH a directory of
# this test's own. ROOT is copied into SCRATCH and the script runs from its
# directory in the copy, so relative includes resolve and files the script
# writes stay out of the source tree.
#
# Beside the script in ROOT:
#   NAME.out     the exact expected standard output; @DIR@ stands for the
#                absolute directory the script ran in (diagnostics name the
#                script by its full path)
#   NAME.status  the expected exit status when it is not 0 (-1 for a script
#                error; compared modulo 256 as the shell sees it)
#   NAME.in      standard input (else /dev/null)
set -u

kelpa=$1 root=$2 script=$3 scratch=$4

src_dir=$root/$(dirname "$script")
name=$(basename "$script" .kel)

rm -rf "$scratch"
mkdir -p "$scratch/tree"
cp -R "$root/." "$scratch/tree/"
run_dir=$(cd "$scratch/tree/$(dirname "$script")" && pwd -P)

input=/dev/null
[ -f "$src_dir/$name.in" ] && input=$src_dir/$name.in

(cd "$run_dir" && "$kelpa" "$name.kel" <"$input" >"$scratch/actual" 2>"$scratch/stderr")
status=$?

want_status=0
[ -f "$src_dir/$name.status" ] && want_status=$(tr -d ' \n\r' <"$src_dir/$name.status")
want_status=$(( (want_status % 256 + 256) % 256 ))

# The directory may hold characters that sed treats specially.
dir_text=$(printf '%s' "$run_dir" | sed 's/[&|\\]/\\&/g')
sed "s|@DIR@|$dir_text|g" "$src_dir/$name.out" >"$scratch/expected"

failed=0
if ! cmp -s "$scratch/expected" "$scratch/actual"; then
  echo "output of $script differs (--- expected, +++ actual):"
  diff -u "$scratch/expected" "$scratch/actual"
  failed=1
fi
if [ "$status" -ne "$want_status" ]; then
  echo "exit status of $script: $status, expected $want_status"
  failed=1
fi
if [ "$failed" -ne 0 ] && [ -s "$scratch/stderr" ]; then
  echo "standard error:"
  cat "$scratch/stderr"
fi
exit "$failed"
