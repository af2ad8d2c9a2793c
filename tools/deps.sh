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
  # Another package install may hold apt's locks: wait for it (up to ten
  # minutes) instead of failing at once.
  LOCK_WAIT="-o DPkg::Lock::Timeout=600"
  tries=0
  until $SUDO apt-get $LOCK_WAIT update -qq 2>/tmp/kinovex-apt-update.$$; do
    if grep -qi "lock" /tmp/kinovex-apt-update.$$ && [ $tries -lt 60 ]; then
      tries=$((tries + 1))
      echo "Waiting for another package install to finish..."
      sleep 10
    else
      cat /tmp/kinovex-apt-update.$$ >&2
      rm -f /tmp/kinovex-apt-update.$$
      exit 1
    fi
  done
  rm -f /tmp/kinovex-apt-update.$$
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get $LOCK_WAIT install -y -qq --no-install-recommends $missing
fi
