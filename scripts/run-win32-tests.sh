#!/usr/bin/env bash
# Runs the Win32 test programs under Wine (called inside with-wine.sh).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root/build/win32/tests"
wine win32_tests.exe "$@"
