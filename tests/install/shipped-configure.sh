#!/usr/bin/env bash
# The service addresses given at configuration time reach the shipped
# Configure.xml as XML-safe values; a message server address the client could
# not use stops the configuration with a message naming the option.
set -euo pipefail
module=$TOVIX_SOURCE_DIR/res/install/ShippedConfigure.cmake
template=$TOVIX_SOURCE_DIR/res/install/Configure.xml.in
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
write() { cmake -DTEMPLATE="$template" -DOUTPUT="$tmp/Configure.xml" "$@" -P "$module" > "$tmp/out" 2>&1; }

write -DTOVIX_CONNECTION=192.0.2.10:8600 -DTOVIX_TORRENT_URL=http://192.0.2.10:8601/torrents/ \
  -DTOVIX_PIC_URL=http://192.0.2.10:8601/pics/ -DTOVIX_AD_URL=http://192.0.2.10:8601/ads/ \
  -DTOVIX_WEB_URL=http://192.0.2.10:8601 "-DTOVIX_FORUM_URL=http://192.0.2.10/forum?a=1&b=<2>" ||
  { cat "$tmp/out"; fail "good addresses refused"; }
for line in '<Connection value="192.0.2.10:8600" />' '<TorrentURL value="http://192.0.2.10:8601/torrents/" />' \
  '<PicURL value="http://192.0.2.10:8601/pics/" />' '<ADURL value="http://192.0.2.10:8601/ads/" />' \
  '<WebURL value="http://192.0.2.10:8601" />' '<ForumURL value="http://192.0.2.10/forum?a=1&amp;b=&lt;2&gt;" />' \
  '<FileRoot value="videos/" />' '<Version value="1" />'; do
  grep -qF "    $line" "$tmp/Configure.xml" || fail "missing: $line"
done
head -1 "$tmp/Configure.xml" | grep -qF '<?xml version="1.0" encoding="GB2312" ?>' || fail "declaration changed"

# Nothing given: every address empty, as an unconfigured build ships.
write || fail "no addresses refused"
[ "$(grep -c 'value=""' "$tmp/Configure.xml")" -eq 6 ] || fail "unconfigured addresses not empty"

for bad in 192.0.2.10 192.0.2:8600 256.0.2.10:8600 192.0.2.010:8600 192.0.2.10:0 192.0.2.10:65536 \
  192.0.2.10:8600x server.example:8600 " 192.0.2.10:8600" 192.0.2.10:; do
  rm -f "$tmp/Configure.xml"
  if write "-DTOVIX_CONNECTION=$bad"; then fail "accepted TOVIX_CONNECTION=$bad"; fi
  grep -q "TOVIX_CONNECTION is \"$bad\"" "$tmp/out" || fail "no message naming TOVIX_CONNECTION for $bad"
  [ ! -e "$tmp/Configure.xml" ] || fail "wrote Configure.xml for $bad"
done
if write "-DTOVIX_WEB_URL=http://例子.example/"; then fail "accepted a non-ASCII address"; fi
grep -q 'TOVIX_WEB_URL is' "$tmp/out" || fail "no message naming TOVIX_WEB_URL"
echo "shipped configuration: checked"
