#!/bin/sh
# Installs what is needed, builds with warnings as errors and runs every test headless.
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh -DTL_WERROR=ON
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
