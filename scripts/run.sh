#!/usr/bin/env bash
# Builds Durnmoor and starts it. The data files live beside the program: build/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build build -j2 --target durnmoor
exec ./build/durnmoor
