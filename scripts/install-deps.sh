#!/bin/sh
# Installs the Debian 12 packages TradeLedger needs to build, run and test.
set -e
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
  cmake ninja-build g++ pkg-config qt6-base-dev libqt6sql6-sqlite libgl-dev fonts-noto-cjk \
  qt6-translations-l10n libxlsxwriter-dev libfreexl-dev libzip-dev libsodium-dev >/dev/null
