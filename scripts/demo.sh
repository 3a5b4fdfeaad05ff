#!/usr/bin/env bash
# Installs what is needed, builds, and starts pcrcal in the demo workspace (demo-workspace/ in the
# repository, or $PCR_DEMO_WORKSPACE), which is created on first use and is the program's working
# directory: "PCR.db3", "config.ini" and the daily logs live there.
#
# Every scripts/demo.d/*.sh is sourced before the program starts, in name order, with $root,
# $build and $workspace set. A hook may start helpers (the simulator, for instance) and append
# their process ids to demo_pids; they are ended when the program exits.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
  echo "demo: no display (DISPLAY is not set); run this from a desktop session, or use scripts/test.sh" >&2
  exit 1
fi
if [[ -n ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]] && command -v python3 >/dev/null &&
   ! python3 - <<'PY' 2>/dev/null
import ctypes, sys
try:
    x11 = ctypes.CDLL("libX11.so.6")
except OSError:
    sys.exit(0)   # cannot tell without Xlib: let the program try
x11.XOpenDisplay.restype = ctypes.c_void_p
sys.exit(0 if x11.XOpenDisplay(None) else 1)
PY
then
  echo "demo: cannot open the display $DISPLAY; run this from a desktop session, or use scripts/test.sh" >&2
  exit 1
fi

bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
build=${PCR_BUILD_DIR:-$root/build}
workspace=${PCR_DEMO_WORKSPACE:-$root/demo-workspace}
mkdir -p "$workspace"
workspace=$(cd "$workspace" && pwd)

demo_pids=()
stop_helpers() {
  local pid
  for pid in "${demo_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${demo_pids[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
}
trap stop_helpers EXIT

shopt -s nullglob
for hook in "$root"/scripts/demo.d/*.sh; do
  # shellcheck source=/dev/null
  source "$hook"
done
shopt -u nullglob

echo "demo: workspace $workspace"
echo "demo: log in as admin, password 123456"
cd "$workspace"
"$build/pcrcal" "$@"
