#!/usr/bin/env bash
# The engine end to end through calc-eval: the rows a user would see for typed lines.
set -euo pipefail
calc=$1

expect() {  # expect MODE INPUT ROW
  local got
  if [[ $1 == live ]]; then got=$(printf '%s\n' "$2" | "$calc" --live); else got=$(printf '%s\n' "$2" | "$calc"); fi
  if [[ "$got" != "$3" ]]; then
    echo "FAIL: $1 '$2' gave '$got', expected '$3'"
    failures=$((failures + 1))
  fi
}

failures=0
expect commit '(12-10)**(4)+sin((60-30)*pi/180)' '(12-10)**(4)+sin((60-30)*pi/180)=16.5'
expect commit 'log(1)/log(10)+pe' 'log(1)/log(10)+pe=2.71828182845905'
expect commit '１＋２＊３' '1+2*3=7'
expect commit '2^10' '2**10=1024'
expect commit '1/0' '表达式错误:1/0'
expect commit '2**(' '表达式错误:2^('
expect commit 'x+1' '表达式错误:x+1'
expect commit '   ' '0.'
expect live '1+(2*3' '1'
expect live '2*(3+4))' '14'
expect live '   ' '0.'
expect live 'sqr(2)' '1.4142135623731'
if [[ $failures -gt 0 ]]; then
  echo "0 passed, $failures failed"
  exit 1
fi
echo "calc-eval rows: all as expected"
