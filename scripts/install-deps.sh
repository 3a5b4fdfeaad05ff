#!/usr/bin/env bash
# Installs every package the build, the tests and the demo need. Idempotent and non-interactive.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  qtbase5-dev libqt5sql5-sqlite libsqlite3-dev libqt5serialport5-dev qtconnectivity5-dev libqt5charts5-dev
  qttools5-dev qttools5-dev-tools libqt5svg5-dev qttranslations5-l10n
  libopencv-core-dev libopencv-imgproc-dev libopencv-highgui-dev
  libxlsxwriter-dev libzip-dev libpugixml-dev libssl-dev
  libreoffice-writer-nogui libreoffice-calc-nogui
  fonts-noto-cjk
  xvfb xauth
  sqlite3 poppler-utils unzip
  libqt5sql5-psql postgresql
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  echo "install-deps: all packages present"
  exit 0
fi

SUDO=""
if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
