#!/bin/sh
# Configures and builds Kestrova into build/ (warnings are errors, as in CI).
# ccache, when installed, keeps compiled objects between builds and checkouts.
set -eu
cd "$(dirname "$0")/.."
launcher=""
if command -v ccache >/dev/null 2>&1; then
  launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTROVA_WERROR=ON $launcher
cmake --build build -j"$(nproc)"
