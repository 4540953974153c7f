#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop finds there.
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

apps=share/applications/org.example.Quarvel.desktop meta=share/metainfo/org.example.Quarvel.metainfo.xml
for f in bin/quarvel lib/quarvel/quarvel_video.so $apps $meta \
    share/icons/hicolor/{16x16,256x256}/apps/quarvel.png; do
    [ -e "$prefix/$f" ] || { echo "missing after install: $f"; exit 1; }
done
desktop-file-validate "$prefix/$apps"
appstreamcli validate --no-net "$prefix/$meta"
grep -q '^Exec=quarvel$' "$prefix/$apps"
echo "installed and valid"
