#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it. Arguments go to the program,
# e.g. `scripts/run.sh --demo` for the built-in demo camera.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVIX_BUILD_TESTS=OFF \
      -DORVIX_BUILD_BENCH=OFF >/dev/null
cmake --build build --target orvix5-cam-viewer orvix_program_folder
exec build/bin/orvix5-cam-viewer "$@"
