#!/usr/bin/env bash
# Installs, from Debian's archive, everything Noctavi needs to build, test and run.
# Safe to run again: apt-get skips what is already installed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libboost-dev libboost-serialization-dev libboost-filesystem-dev libboost-thread-dev
  libboost-system-dev libboost-program-options-dev libboost-date-time-dev
  qt6-base-dev qt6-image-formats-plugins libqt6svg6
  libcurl4-openssl-dev libxml2-dev libssl-dev openssl ca-certificates
  libldns-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core xdg-utils
  # a virtual display and its window list, for the demo in CI
  xvfb xauth x11-utils
  # clang++ with its sanitizer and libFuzzer runtimes, for fuzz/
  clang libclang-rt-14-dev
  # a real multicast DNS responder, network namespaces and a packet filter,
  # for the machine search's test in namespaces of its own (tests/avahi)
  avahi-daemon iproute2 nftables
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
# No service that a package brings may start here: the search's test runs
# avahi-daemon only inside network namespaces of its own.
if [ ! -e /usr/sbin/policy-rc.d ]; then
  printf '#!/bin/sh\nexit 101\n' | $SUDO tee /usr/sbin/policy-rc.d >/dev/null
  $SUDO chmod 755 /usr/sbin/policy-rc.d
  trap '$SUDO rm -f /usr/sbin/policy-rc.d' EXIT
fi
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
