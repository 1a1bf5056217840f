#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a user gets: the
# command, the private program folder with the engine off the public library
# path, the shared data, and a command line that answers --help and --version
# without a display and without making or touching anything of the user's.
#   layout-and-command-line.sh APP_ID VERSION
set -euo pipefail
id=$1 version=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
prefix=$tmp/prefix
cmake --install "$TOVIX_BINARY_DIR" --prefix "$prefix" > "$tmp/install.log" || { cat "$tmp/install.log"; fail "install"; }

[ -L "$prefix/bin/tovix" ] || fail "bin/tovix is not a link to the launcher"
launcher=$(readlink -f "$prefix/bin/tovix")
private=$(dirname "$launcher")
[ "$(basename "$launcher")" = tovix-launcher ] && [ "$(basename "$private")" = tovix ] ||
  fail "bin/tovix leads to $launcher"
case $(readlink "$prefix/bin/tovix") in /*) fail "bin/tovix is an absolute link" ;; esac
for file in tovix tovix-launcher libtovixsock.so Plug_in/Real/Codecs/libgstrealmedia.so Plug_in/Flash/Flash9d.ocx; do
  [ -e "$private/$file" ] || fail "missing $private/$file"
done
[ "$(find "$prefix" -name 'libtovixsock*' | wc -l)" -eq 1 ] || fail "the engine is installed outside $private"
# Whole outputs first: under pipefail, grep -q leaving early would fail the pipe.
dynamic=$(readelf -d "$private/tovix")
grep -qE 'R(UN)?PATH.*\[\$ORIGIN\]' <<<"$dynamic" || fail "the program has no \$ORIGIN run path"
libraries=$(ldd "$private/tovix")
grep -qF "libtovixsock.so => $private/libtovixsock.so" <<<"$libraries" || fail "the engine is not found beside the program"

share=$prefix/share
for file in tovix/Configure.xml tovix/FileInfo.xml tovix/ChannelInfo.xml tovix/Skins/Main.bmp tovix/Skins/Sub.bmp \
  tovix/Skins/ItemStatus.bmp tovix/Skins/ItemDefault.jpg "applications/$id.desktop" "metainfo/$id.metainfo.xml" \
  man/man1/tovix.1 "icons/hicolor/scalable/apps/$id.svg"; do
  [ -s "$share/$file" ] || fail "missing $share/$file"
done
for size in 16 24 32 48 64 128 256; do
  [ -s "$share/icons/hicolor/${size}x$size/apps/$id.png" ] || fail "no $size px icon"
done

# A user without a display; nothing may appear in the home, runtime or current folders.
mkdir -p "$tmp/home" "$tmp/run" "$tmp/cwd"
run() { (cd "$tmp/cwd" && env -i PATH=/usr/bin:/bin HOME="$tmp/home" XDG_RUNTIME_DIR="$tmp/run" "$@") \
  > "$tmp/stdout" 2> "$tmp/stderr"; }
for command in "$prefix/bin/tovix" "$private/tovix"; do
  run "$command" --version || fail "$command --version exits $?"
  [ "$(cat "$tmp/stdout")" = "tovix $version" ] || fail "$command --version printed '$(cat "$tmp/stdout")'"
  run "$command" --help || fail "$command --help exits $?"
  head -1 "$tmp/stdout" | grep -q '^Usage: tovix \[--help | --version\]$' || fail "$command --help printed no usage"
  [ ! -s "$tmp/stderr" ] || fail "$command --help wrote to standard error"
  status=0
  run "$command" --bogus || status=$?
  [ $status -eq 2 ] || fail "$command --bogus exits $status"
  [ ! -s "$tmp/stdout" ] || fail "$command --bogus wrote to standard output"
  [ "$(head -1 "$tmp/stderr")" = "tovix: unknown argument '--bogus'" ] || fail "$command --bogus: $(head -1 "$tmp/stderr")"
  sed -n 2p "$tmp/stderr" | grep -q '^Usage: tovix' || fail "$command --bogus printed no usage"
  status=0
  run "$command" --version --help || status=$?
  [ $status -eq 2 ] || fail "$command --version --help exits $status"
done
left=$(find "$tmp/home" "$tmp/run" "$tmp/cwd" -mindepth 1)
[ -z "$left" ] || fail "the command line left: $left"
echo "installed layout and command line: checked"
