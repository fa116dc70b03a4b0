#!/usr/bin/env bash
# Seeds a fuzz corpus directory with every script of the test suite and the
# examples, plus the minimized inputs of past findings in fuzz/regressions.
#
#   seed_corpus.sh CORPUS_DIR
#
# Files are named after their path so that scripts of the same name in
# different folders do not overwrite each other.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=$1
mkdir -p "$corpus"
cd "$root"
find tests/scripts examples fuzz/regressions -type f -name '*.kel' -print |
  while IFS= read -r file; do
    cp "$file" "$corpus/$(printf '%s' "$file" | tr '/' '_')"
  done
