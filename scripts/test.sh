#!/usr/bin/env bash
# Builds Durnmoor with its tests and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
export QT_QPA_PLATFORM=offscreen
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON
cmake --build build-test -j2
ctest --test-dir build-test --output-on-failure -j2
# The fuzz targets need clang; each runs for a bounded time on its seeds.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DDURNMOOR_FUZZ=ON
cmake --build build-fuzz -j2
ctest --test-dir build-fuzz --output-on-failure -j2
# The Debian package of the tested build: what it holds and what it depends on.
(cd build-test && cpack -G DEB)
dpkg -c build-test/durnmoor_*.deb
dpkg -I build-test/durnmoor_*.deb
