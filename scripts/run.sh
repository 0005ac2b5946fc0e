#!/bin/sh
# Installs what is needed, builds and starts TradeLedger.
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
exec build/bin/tradeledger "$@"
