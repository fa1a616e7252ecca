#!/usr/bin/env bash
# Installs every package the build, the tests and the independent output checks need.
# One script for the README, developers and CI; safe to run again.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
  g++ cmake ninja-build pkg-config git ca-certificates \
  clang libclang-rt-14-dev libfuzzer-14-dev clang-format \
  libgtest-dev libgmock-dev \
  libcli11-dev libstb-dev zlib1g-dev libzip-dev libpugixml-dev \
  qt6-base-dev libgl-dev libxkbcommon-dev \
  libreoffice-writer-nogui poppler-utils fonts-ipafont-mincho fonts-ipafont-gothic fontconfig \
  python3 python3-docx python3-lxml \
  libxlsxwriter-dev libreoffice-calc-nogui python3-openpyxl \
  dpkg-dev file lintian man-db \
  >/dev/null
