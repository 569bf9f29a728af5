#!/usr/bin/env bash
# The Wine runner as scripts and ctest use it: exit codes and both output streams pass through
# pipes, Wine's own noise stays out, runs may start together, and a program that uses the
# desktop (the clipboard) leaves no Wine helper holding the caller's pipe when it ends.
set -euo pipefail
: "${KELTORA_WINE_RUN:?}" "${KELTORA_BIN:?}" "${KELTORA_SCRATCH:?}"
run() { "$KELTORA_WINE_RUN" "$@"; }
passed=0 failures=0
check() {  # check NAME COMMAND...
    if "${@:2}"; then echo "ok   $1"; passed=$((passed + 1)); else echo "FAIL $1"; failures=$((failures + 1)); fi
}
rm -rf "$KELTORA_SCRATCH"
mkdir -p "$KELTORA_SCRATCH"
cd "$KELTORA_SCRATCH"

status() { "$@" >/dev/null 2>&1 && echo 0 || echo $?; }
check "the exit code passes through" test "$(status run cmd /c exit 42)" == 42
check "a zero exit code passes through" test "$(status run cmd /c exit 0)" == 0

run cmd /c 'echo to-stdout& echo to-stderr 1>&2' >out.txt 2>err.txt
check "stdout reaches the caller" test "$(tr -d '\r' <out.txt)" == "to-stdout"
check "stderr reaches the caller apart" test "$(tr -d '\r ' <err.txt)" == "to-stderr"
run cmd /c exit 0 >/dev/null 2>noise.txt
check "Wine adds nothing to stderr" test ! -s noise.txt
check "arguments with blanks stay whole" test "$(run cmd /c echo "a  b" | tr -d '\r')" == '"a  b"'

check "the prefix is inside the build folder" bash -c "[[ '$(run --prefix)' == */build/wine/prefix || -n '${KELTORA_WINEPREFIX:-}' ]]"
check "the display is set" bash -c "[[ '$(run --display)' == :* ]]"

# A program that opens the clipboard, captured by command substitution: the substitution ends
# when the program does, as no desktop process inherits the pipe. Were the pipe inherited, the
# substitution would never end and the test's time limit would fail it.
captured="$(run "$KELTORA_BIN/keltora_wine_backends.exe" --gtest_filter=Win32ClipboardTest.TextIsReportedAndEmptied 2>&1)"
check "a clipboard program ran and its pipe closed" grep -q "1 test.*PASSED\|PASSED.*1 test" <<<"$captured"

# Runs that start together share the prefix and the server.
for i in 1 2 3 4; do (run cmd /c "exit $i" >/dev/null 2>&1 && echo 0 >"par$i" || echo $? >"par$i") & done
wait
check "runs that start together all pass through" test "$(cat par1 par2 par3 par4 | tr '\n' ' ')" == "1 2 3 4 "

echo "$passed passed, $failures failed"
((failures == 0))
