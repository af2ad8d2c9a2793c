#!/bin/sh
# Installs the Debian 12 packages the build and the tests need, only when
# something is missing (so repeated runs cost nothing).
set -e
PACKAGES="g++ cmake ninja-build libgtest-dev libbenchmark-dev locales \
qt6-base-dev qt6-svg-dev libqcustomplot-dev \
breeze-icon-theme xvfb xauth fonts-dejavu-core fonts-liberation2 poppler-utils"

missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
if [ -n "$missing" ]; then
  echo "Installing:$missing"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
