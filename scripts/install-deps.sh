#!/bin/sh
# Installs the Debian 12 packages TradeLedger needs to build, run and test.
# Needs root, or a user who may use sudo, unless everything is installed already.
set -e
PACKAGES="cmake ninja-build g++ pkg-config qt6-base-dev libqt6sql6-sqlite libgl-dev fonts-noto-cjk \
  qt6-translations-l10n libxlsxwriter-dev libfreexl-dev libzip-dev libsodium-dev libuchardet-dev libsqlite3-dev \
  dpkg-dev desktop-file-utils appstream poppler-utils fonts-droid-fallback \
  libqt6sql6-psql postgresql-15"
MISSING=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || MISSING="$MISSING $p"
done
[ -z "$MISSING" ] && exit 0
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "Missing packages:$MISSING" >&2
    echo "Installing them needs root: run this script as root (su -c $0) or install sudo." >&2
    exit 1
  fi
  SUDO="sudo"
fi
$SUDO apt-get update -qq
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $MISSING >/dev/null
