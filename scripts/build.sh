#!/bin/sh
# Configures and builds into build/ (extra CMake arguments pass through).
set -e
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja "$@" >/dev/null
cmake --build build
