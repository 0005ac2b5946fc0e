#!/bin/sh
# Installs what is needed, builds with warnings as errors and runs every test
# headless: once on account-set files, then the core and command-line tests
# again on a throwaway PostgreSQL server.
set -e
cd "$(dirname "$0")/.."
ROOT=$(pwd)
scripts/install-deps.sh
scripts/build.sh -DTL_WERROR=ON
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
PGDIR=$(mktemp -d)
trap '"$ROOT/scripts/pg-cluster.sh" stop "$PGDIR"; rm -rf "$PGDIR"' EXIT INT TERM
URL=$("$ROOT/scripts/pg-cluster.sh" start "$PGDIR")
echo "Second pass on the PostgreSQL server at $URL"
TL_TEST_PG="$URL" QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 -L server
