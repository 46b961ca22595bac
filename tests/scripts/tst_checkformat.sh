#!/usr/bin/env bash
# The format check on a small copy: a formatted tree passes, a misformatted file fails the
# check and is named (and only it), build folders and ignored files are left out, a new file
# not yet added to git is checked, and --fix formats it in place.
# Usage: tst_checkformat.sh SOURCE-FOLDER   (exits 77, "skipped", without clang-format)
set -uo pipefail
src=${1:?usage: tst_checkformat.sh SOURCE-FOLDER}
check="$src/scripts/check-format"
command -v "${CLANG_FORMAT:-clang-format}" >/dev/null || { echo "SKIP: no clang-format"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
expect() { # expect DESCRIPTION EXPECTED-EXIT-CODE FOLDER [--fix]
  local what=$1 want=$2 dir=$3; shift 3
  local rc=0
  "$check" "$@" "$dir" >"$work/out" 2>&1 || rc=$?
  if [ "$rc" = "$want" ]; then echo "ok   - $what"; else
    echo "FAIL - $what: exit $rc, expected $want"; sed 's/^/       /' "$work/out"
    failures=$((failures + 1))
  fi
}
named() { grep -q "$1" "$work/out"; }
verify() { # verify DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then echo "ok   - $what"; else echo "FAIL - $what"; sed 's/^/       /' "$work/out"; failures=$((failures + 1)); fi
}

tree="$work/tree"
mkdir -p "$tree/src" "$tree/build/gen"
cp "$src/.clang-format" "$tree/"
printf 'int twice(int value)\n{\n    return value * 2;\n}\n' >"$tree/src/good.cpp"
# Laid out against the style: the brace, the indent and the spaces.
bad='int  half( int value ) {\n  return value/2; }\n'
printf "$bad" >"$tree/build/gen/generated.cpp"

expect "a formatted tree passes (the build folder is not looked at)" 0 "$tree"

printf "$bad" >"$tree/src/bad.h"
expect "a misformatted header fails the check" 1 "$tree"
verify "... and is named" named 'src/bad.h'
verify "... the formatted file is not" bash -c "! grep -q good.cpp '$work/out'"

cp "$tree/src/bad.h" "$work/before"
expect "--fix formats the file" 0 "$tree" --fix
verify "... which then differs from before" bash -c "! cmp -s '$work/before' '$tree/src/bad.h'"
expect "... and passes the check" 0 "$tree"

# In a git checkout: tracked files, and new ones not yet added, but not ignored ones.
git -C "$tree" init -q
printf '/build*/\n/ignored.cpp\n' >"$tree/.gitignore"
git -C "$tree" add .gitignore .clang-format src
expect "a formatted checkout passes" 0 "$tree"
printf "$bad" >"$tree/src/new.cpp"
expect "a misformatted file not yet added fails the check" 1 "$tree"
verify "... and is named" named 'src/new.cpp'
rm "$tree/src/new.cpp"
printf "$bad" >"$tree/ignored.cpp"
expect "an ignored file is not looked at" 0 "$tree"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all checks passed"
