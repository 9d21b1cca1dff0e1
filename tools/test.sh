#!/usr/bin/env bash
# Installs what is needed, builds everything with warnings as errors and runs
# every test with ctest. Usage: tools/test.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

bash tools/install-deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUORVELLA_WERROR=ON -DQUORVELLA_TESTS=ON -DQUORVELLA_BENCH=ON
cmake --build "$build" --parallel "$(nproc)"
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"
