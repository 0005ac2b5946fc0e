#!/bin/sh
# Installs what is needed, builds the program (only the program and its
# template, not the tests and tools) and starts TradeLedger.
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
TL_BUILD_TARGET=tradeledger scripts/build.sh
exec build/bin/tradeledger "$@"
