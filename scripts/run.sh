#!/usr/bin/env bash
# Builds the program if needed and starts it on the demo store in
# examples/demo/ (the program always works on its working directory).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target korvelix
cd examples/demo && exec ../../build/korvelix
