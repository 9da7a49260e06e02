#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVIX_SANITIZE=ON >/dev/null
cmake --build build-test -j "$jobs"
cd build-test
ctest --output-on-failure -j "$jobs" --timeout 900
