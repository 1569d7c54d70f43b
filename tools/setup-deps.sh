#!/bin/sh
# Installs the Debian packages the build and the tests need, only when one is missing.
set -eu
PACKAGES="g++ make cmake ninja-build pkg-config
libinih-dev libcli11-dev libexpat1-dev nlohmann-json3-dev
libgtest-dev libgmock-dev libbenchmark-dev
firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils firebird3.0-server
qt6-base-dev qt6-translations-l10n xvfb xauth
dpkg-dev desktop-file-utils man-db poppler-utils"

missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done

if [ -z "$missing" ]; then
  exit 0
fi

echo "Installing:$missing"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
# shellcheck disable=SC2086
$SUDO apt-get install -y --no-install-recommends $missing
