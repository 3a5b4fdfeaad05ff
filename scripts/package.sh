#!/usr/bin/env bash
# Builds the Debian package pcrcal_<version>_<arch>.deb into build-package/ (or $PCR_PACKAGE_DIR):
# a release build of its own, then cpack. Install it with
#   sudo apt install ./build-package/pcrcal_*.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PCR_PACKAGE_DIR:-$root/build-package}

bash "$root/scripts/install-deps.sh"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
# Only what the package holds: the programs, templates, icons and man pages (no tests).
cmake --build "$build" -j "$(nproc)" --target pcr_package_contents
rm -f "$build"/pcrcal_*.deb
(cd "$build" && cpack --config CPackConfig.cmake -B "$build")
rm -rf "$build/_CPack_Packages"
deb=$(ls "$build"/pcrcal_*.deb)
echo "package: $deb"
dpkg-deb -f "$deb" Package Version Architecture
echo "install: sudo apt install $deb"
