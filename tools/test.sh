#!/bin/sh
# Builds every target and runs every test: natively, then under Wine.
set -eu
cd "$(dirname "$0")/.."
tools/setup.sh
cmake --preset native
cmake --build --preset native
ctest --preset native
# A short fuzz run of the directory reply handler (tools/fuzz.sh SECONDS for longer).
tools/fuzz.sh 30
cmake --preset win64
cmake --build --preset win64
ctest --preset win64
# 32-bit Windows: built, not run (no 32-bit Wine here).
cmake --preset win32
cmake --build --preset win32
echo "All tests passed."
