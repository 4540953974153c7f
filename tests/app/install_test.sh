#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop finds there.
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/quarvel \
    share/applications/org.example.Quarvel.desktop \
    share/metainfo/org.example.Quarvel.metainfo.xml \
    share/icons/hicolor/16x16/apps/quarvel.png \
    share/icons/hicolor/256x256/apps/quarvel.png; do
    [ -e "$prefix/$f" ] || { echo "missing after install: $f"; exit 1; }
done
desktop-file-validate "$prefix/share/applications/org.example.Quarvel.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/org.example.Quarvel.metainfo.xml"
grep -q '^Exec=quarvel$' "$prefix/share/applications/org.example.Quarvel.desktop"
echo "installed and valid"
