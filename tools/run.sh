#!/usr/bin/env bash
# Installs what is needed, builds the application and starts it on the
# bundled example document. Usage: tools/run.sh [document...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=build

bash tools/install-deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --parallel "$(nproc)" --target quorvella
if [ $# -eq 0 ]; then
  set -- resources/examples/forams.qvl
fi
exec "$build/src/app/quorvella" "$@"
