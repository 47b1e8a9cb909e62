#!/bin/sh
# Installs what is missing, builds, prepares the default data directory and
# starts the program. A data directory without a database is filled with the
# demonstration hotel, so that a first start shows a living planning.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh
DATA_DIR="${KESTROVA_DIR:-$HOME/.local/share/Kestrova}"
if [ ! -f "$DATA_DIR/reserv.mdb" ] && ./build/kestrova --help | grep -q '^  demo'; then
  ./build/kestrova --dir "$DATA_DIR" demo
fi
./build/kestrova --dir "$DATA_DIR" init
exec ./build/kestrova --dir "$DATA_DIR" "$@"
