#!/bin/sh
# Installs what is needed, builds a Release build of what the package ships
# (the program, the command-line tool, the .xls helper and the template; no
# tests or tools) in build-package/ and writes dist/tradeledger_VERSION_ARCH.deb.
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DTL_DEV_TARGETS=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr "$@" >/dev/null
cmake --build build-package
mkdir -p dist
(cd build-package && cpack -G DEB -D CPACK_OUTPUT_FILE_PREFIX="$PWD/../dist" >/dev/null)
ls dist/tradeledger_*.deb
