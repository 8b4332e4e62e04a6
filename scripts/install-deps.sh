#!/usr/bin/env bash
# Installs the Debian packages the project builds, tests and demonstrates with.
# Does nothing (and needs no network) when they are all present already.
set -euo pipefail

PACKAGES=(
  cmake g++ make
  qt6-base-dev qt6-svg-dev libqt6sql6-sqlite libqt6sql6-psql
  libicu-dev libcurl4-openssl-dev
  python3-pyftpdlib postgresql
  xvfb xauth fonts-wqy-microhei
  librsvg2-bin
)

missing=()
for pkg in "${PACKAGES[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Abbrev}' "$pkg" 2>/dev/null || true)
  [[ "$status" == ii* ]] || missing+=("$pkg")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#PACKAGES[@]} packages present"
  exit 0
fi

SUDO=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: need root to install: ${missing[*]}" >&2; exit 1; }
  SUDO=(sudo)
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# A fresh machine may have empty package lists; refresh once if the install fails.
if ! "${SUDO[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; then
  "${SUDO[@]}" apt-get update
  "${SUDO[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
