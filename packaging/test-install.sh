#!/bin/sh
# Installs the build into a temporary (writable) prefix, checks that every
# file an install promises is there, and that the installed tool, run for a
# user with an empty home, keeps its registry and the sample account set in
# that user's data folder and not beside the executable, and finds the
# installed .xls helper.
# Usage: test-install.sh BUILD-FOLDER CMAKE SALES.xls
set -e
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
"$2" --install "$1" --prefix "$prefix" >/dev/null
id=org.tradeledger.TradeLedger
missing=0
for f in bin/tradeledger bin/tradeledger-cli bin/tradeledger-xls share/tradeledger/DB.lbk \
  share/applications/$id.desktop share/metainfo/$id.metainfo.xml share/man/man1/tradeledger-cli.1.gz \
  share/icons/hicolor/scalable/apps/$id.svg share/icons/hicolor/16x16/apps/$id.png \
  share/icons/hicolor/32x32/apps/$id.png share/icons/hicolor/48x48/apps/$id.png \
  share/icons/hicolor/64x64/apps/$id.png share/icons/hicolor/128x128/apps/$id.png \
  share/icons/hicolor/256x256/apps/$id.png; do
  case $f in bin/*) test -x "$prefix/$f" ;; *) test -f "$prefix/$f" ;; esac ||
    { echo "not installed: $f" >&2; missing=1; }
done
[ $missing = 0 ]

mkdir "$tmp/home"
HOME=$tmp/home TRADELEDGER_PASSWORD=730281 env -u XDG_DATA_HOME -u XDG_CONFIG_HOME \
  "$prefix/bin/tradeledger-cli" --set 示例套帐 import sales "$3" --sheet 销售 --dry-run 2>/dev/null
data=$tmp/home/.local/share/TradeLedger
for f in Parameter.mdb 示例套帐.lbk; do
  [ -f "$data/$f" ] || { echo "no $f in the user's data folder $data" >&2; exit 1; }
done
if ls "$prefix/bin" | grep -qv '^tradeledger'; then
  echo "the installed tool wrote beside itself:" $(ls "$prefix/bin") >&2
  exit 1
fi
