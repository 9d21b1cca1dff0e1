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
# The texts the product writes must not follow the user's locale: run the
# tests of the texts and of the GUI once more under a comma-decimal locale
# (Qt applies it to the C library; the text tests apply it themselves).
LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8 ctest --test-dir "$build" --output-on-failure \
  --parallel "$(nproc)" -R '^(textio|cli|plot|names|quorvella)_|^(MyDocument|DocumentWindow|TableModels)Test$'
