#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that everything a
# desktop needs is there and valid. Usage: check_install.sh <build-dir> <app-id>
set -euo pipefail
build=$1
id=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

fail=0
need() {
  if [ ! -s "$prefix/$1" ]; then
    echo "missing after install: $1"
    fail=1
  fi
}
need bin/mrb_make
need share/mrb_make/SYSVER.DAT
need share/mrb_make/MRB_MAKE/index.html
need share/mrb_make/samples/block_2t.csv
need "share/applications/$id.desktop"
need "share/icons/hicolor/scalable/apps/$id.svg"
need "share/metainfo/$id.metainfo.xml"
need "share/mime/packages/$id.xml"
[ "$fail" = 0 ] || exit 1

grep -q '^Exec=mrb_make %f$' "$prefix/share/applications/$id.desktop" || { echo "Exec line"; exit 1; }
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/$id.desktop"
else
  echo "desktop-file-validate not installed: skipped"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/$id.metainfo.xml" ||
    appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"
else
  echo "appstreamcli not installed: skipped"
fi
# The installed program runs from there.
"$prefix/bin/mrb_make" --version | grep -q "^mrb_make [0-9]" || { echo "--version"; exit 1; }
echo "install into $prefix: complete"
