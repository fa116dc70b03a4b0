#!/usr/bin/env bash
# Script files too big or too odd to keep in the repository, written at test
# time: NUL bytes, bare carriage returns, 10 MB of text, a 100,000-character
# line; and a script reading an endless device. Each must end, within a
# minute, with the interpreter's own output and status.
#
#   generated_files.sh KELPA SCRATCH
set -u
kelpa=$1 scratch=$2
rm -rf "$scratch"
mkdir -p "$scratch"
cd "$scratch" || exit 1
dir=$(pwd -P)
failed=0

# check NAME STATUS: runs NAME.kel and compares with NAME.expected.
check() {
  local name=$1 want=$2 status
  timeout 60 "$kelpa" "$name.kel" >"$name.actual" 2>"$name.stderr" </dev/null
  status=$?
  if ! cmp -s "$name.expected" "$name.actual"; then
    echo "$name: output differs (first 400 bytes of each):"
    head -c 400 "$name.expected" | od -c | head -20
    echo "---"
    head -c 400 "$name.actual" | od -c | head -20
    failed=1
  fi
  if [ "$status" -ne "$want" ]; then
    echo "$name: exit status $status, expected $want"
    head -c 2000 "$name.stderr"
    failed=1
  fi
}

# A NUL byte ends the text: what follows it is never read...
printf 'void main() { printf("before the NUL\\n"); }\n\0 void f( { garbage\n' >nul_after.kel
printf 'before the NUL\n' >nul_after.expected
check nul_after 0

# ...so one inside a body leaves its braces open.
printf 'void main() { printf("a\\n");\0 printf("b\\n"); }\n' >nul_inside.kel
printf '\n%s/nul_inside.kel : unbalanced braces in line 1\nvoid main() { printf("a\\n");\n' "$dir" >nul_inside.expected
check nul_inside 255

# Bare carriage returns are blanks: the script runs, and since only line
# feeds count lines, a diagnostic names line 1 and prints the whole text.
text='void main() {\r  printf("a\\n");\r  int x = 1 +\r 2;\r  printf("%%d\\n", x);\r  x = y;\r}\r'
printf "$text" >bare_cr.kel
{ printf 'a\n3\n\n%s/bare_cr.kel : not a variable in line 1\n' "$dir"; printf "$text"; printf '\n'; } >bare_cr.expected
check bare_cr 255

# 10 MB of text: main comes first, the faulty function last, 100,000 lines on.
{
  printf 'void main() { printf("start\\n"); last(); }\n'
  head -c 10400000 /dev/zero | tr '\0' 'x' | fold -w 103 | sed 's|^|//|'
  echo
  printf 'void last() {\n  missing = 1;\n}\n'
} >ten_mb.kel
lines=$(wc -l <ten_mb.kel)
printf 'start\n\n%s/ten_mb.kel : not a variable in line %d\nmissing = 1;\n' "$dir" $((lines - 1)) >ten_mb.expected
check ten_mb 255

# A line of 100,000 characters (two blanks, then the statement) is scanned,
# and printed whole, without its leading blanks, in a diagnostic.
long="int x = 0$(printf ' + 1%.0s' $(seq 24996)) + y;"
printf 'void main() {\n  printf("start\\n");\n  %s\n}\n' "$long" >long_line.kel
printf 'start\n\n%s/long_line.kel : not a variable in line 3\n%s\n' "$dir" "$long" >long_line.expected
check long_line 255

# fscanf("%s") from an endless source: the word is refused as soon as it is
# longer than any block, instead of growing in memory until the host gives out.
printf 'void main() {\n  FILE *f = fopen("/dev/zero", "r");\n  char word[8];\n  fscanf(f, "%%s", word);\n}\n' >endless_word.kel
printf '\n%s/endless_word.kel : out of range in line 4\nfscanf(f, "%%s", word);\n' "$dir" >endless_word.expected
check endless_word 255

# A word longer than the arena that is only skipped ("%*s") is read past, not
# kept, and the field after it is read as usual.
{ head -c 2200000 /dev/zero | tr '\0' 'w'; printf ' 42\n'; } >long_word.txt
printf 'void main() {\n  FILE *f = fopen("long_word.txt", "r");\n  int n = 0;\n  printf("%%d\\n", fscanf(f, "%%*s %%d", &n));\n  printf("%%d\\n", n);\n}\n' >skipped_word.kel
printf '1\n42\n' >skipped_word.expected
check skipped_word 0

exit "$failed"
