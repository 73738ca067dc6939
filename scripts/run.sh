#!/usr/bin/env bash
# Builds the program and starts it on the demo store (a copy in demo-run/,
# so the shipped files stay as they are; the generator scripts stay behind).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target korvelix
mkdir -p demo-run
[ -f demo-run/KORVELIX.DAT ] || cp -r demo/KORVELIX.DAT demo/KORVELIX.k1 demo/KORVELIX.k2 demo/PSNL* demo-run/
cd demo-run && exec ../build/korvelix
