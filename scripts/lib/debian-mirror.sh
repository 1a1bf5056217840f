# debian_mirror: the Debian archive a fresh root is made from: $DEBIAN_MIRROR
# when set, otherwise the one this machine's own APT sources name for bookworm
# (so that a machine behind a local mirror uses it).
debian_mirror() {
  if [ -n "${DEBIAN_MIRROR:-}" ]; then
    echo "$DEBIAN_MIRROR"
    return
  fi
  local uri
  uri=$(apt-get indextargets --format '$(TARGET_OF) $(RELEASE) $(REPO_URI)' 2>/dev/null |
    awk '$1 == "deb" && $2 == "bookworm" { print $3; exit }')
  if [ -z "$uri" ]; then
    echo "$(basename "$0"): no bookworm archive in this machine's APT sources: set DEBIAN_MIRROR to a Debian mirror's address" >&2
    return 1
  fi
  echo "${uri%/}"
}
