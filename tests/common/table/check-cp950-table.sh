#!/usr/bin/env bash
# Checks the code page 950 table a build converts with against the one both
# builds must give (ICU on Linux, Windows' own table under Wine):
#   check-cp950-table.sh EXPECTED.sha256 [EMULATOR] DUMP_PROGRAM
# compares the SHA-256 of what the dump program prints. On a mismatch print
# the tables of both builds with the dump program and diff them.
set -euo pipefail
expected=$(cut -d' ' -f1 "$1")
shift
actual=$("$@" | sha256sum | cut -d' ' -f1)
echo "code page 950 table: SHA-256 $actual"
[ "$actual" = "$expected" ] && exit 0
echo "expected $expected: run $* > table.txt on both builds and diff the two"
exit 1
