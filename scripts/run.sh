#!/usr/bin/env bash
# Builds the program if needed and starts it on the demo store. The demo is
# copied once from examples/demo/ into build/demo-store/, which git ignores,
# so what the program writes never touches the checkout. Remove that folder
# to start afresh from the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target korvelix
store=build/demo-store
if [ ! -d "$store" ]; then
  # Copied aside first, so an interrupted copy is never taken for the store.
  rm -rf "$store.new"
  cp -R examples/demo "$store.new"
  mv "$store.new" "$store"
fi
exec build/korvelix "$store"
