#!/bin/sh
# A wrong call of PROGRAM prints the problem and the usage to standard error,
# nothing to standard output, and exits with 2.
# Usage: misuse_exits_2.sh PROGRAM
program="$1"
err="$(mktemp)"
trap 'rm -f "$err"' EXIT
for args in "one.gb two.gb" "--bogus" "rom.gb -x"; do
    # shellcheck disable=SC2086
    out="$("$program" $args 2>"$err")"
    status=$?
    if [ "$status" -ne 2 ]; then
        echo "'$args': exit status $status, not 2"
        exit 1
    fi
    if [ -n "$out" ]; then
        echo "'$args': printed to standard output: $out"
        exit 1
    fi
    if ! grep -q '^Usage: ' "$err"; then
        echo "'$args': no usage on standard error"
        exit 1
    fi
done
echo "every misuse exits with 2"
