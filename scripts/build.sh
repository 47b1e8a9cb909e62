#!/bin/sh
# Configures and builds Kestrova into build/ (warnings are errors, as in CI).
set -eu
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTROVA_WERROR=ON
cmake --build build -j"$(nproc)"
