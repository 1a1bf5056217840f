#!/usr/bin/env bash
# The desktop entry and the metainfo pass their validators, with and without a
# screenshot; the theme icons have the sizes their folders claim.
#   desktop-data.sh APP_ID VERSION RELEASE_DATE
set -euo pipefail
id=$1 version=$2 date=$3
res=$TOVIX_BINARY_DIR/res
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

desktop-file-validate "$res/$id.desktop" || fail "desktop-file-validate $id.desktop"
appstreamcli validate --no-net --pedantic "$res/$id.metainfo.xml" || fail "appstreamcli validate $id.metainfo.xml"
grep -q "<release version=\"$version\" date=\"$date\"" "$res/$id.metainfo.xml" || fail "release $version of $date missing"
if grep -q '<screenshots>' "$res/$id.metainfo.xml"; then
  [ -n "$(sed -n 's/^TOVIX_SCREENSHOT_URL:STRING=//p' "$TOVIX_BINARY_DIR/CMakeCache.txt")" ] ||
    fail "screenshots listed without a screenshot address"
fi

# A distributor's screenshot address, with a query string that needs escaping.
cmake -DTEMPLATE="$TOVIX_SOURCE_DIR/res/install/tovix.metainfo.xml.in" -DOUTPUT="$tmp/$id.metainfo.xml" \
  -DTOVIX_APP_ID="$id" -DPROJECT_VERSION="$version" -DTOVIX_RELEASE_DATE="$date" \
  "-DTOVIX_SCREENSHOT_URL=https://tovix.example/shots/main.png?size=1280&lang=zh" \
  -P "$TOVIX_SOURCE_DIR/res/install/Metainfo.cmake"
appstreamcli validate --no-net --pedantic "$tmp/$id.metainfo.xml" || fail "metainfo with a screenshot"
grep -q '<image>https://tovix.example/shots/main.png?size=1280&amp;lang=zh</image>' "$tmp/$id.metainfo.xml" ||
  fail "screenshot address not written"

for size in 16 24 32 48 64 128 256; do
  file "$res/images/Tovix$size.png" | grep -q "PNG image data, $size x $size," || fail "icon Tovix$size.png is not $size px"
done
grep -q '<svg' "$res/images/Tovix.svg" || fail "the scalable icon is not an SVG image"
echo "desktop data: valid"
