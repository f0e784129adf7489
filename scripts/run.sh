#!/usr/bin/env bash
# Installs what is missing, builds, and starts the launcher (extra arguments go to it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
exe=${BUILD_DIR:-$root/build}/app/orva-launcher
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: starting the launcher under xvfb-run."
    exec xvfb-run -a -s "-screen 0 1920x1080x24" "$exe" "$@"
fi
exec "$exe" "$@"
