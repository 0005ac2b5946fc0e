#!/bin/sh
# Configures and builds into build/ (extra CMake arguments pass through).
# TL_BUILD_TARGET=<target> builds only that target and what it needs.
set -e
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja "$@" >/dev/null
# Let moc look at every header again: new Q_OBJECT classes picked up by the
# source globs are otherwise missed by an incremental build.
rm -f build/*/*_autogen/timestamp
cmake --build build ${TL_BUILD_TARGET:+--target "$TL_BUILD_TARGET"}
