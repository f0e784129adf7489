#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (under xvfb-run without a display).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
build=${BUILD_DIR:-$root/build}
# Fuzzing first, so that CTest's summary closes the output.
if [ -x "$root/scripts/fuzz.sh" ]; then
    bash "$root/scripts/fuzz.sh"
fi
# QML renders through Mesa's software GL under Xvfb.
export LIBGL_ALWAYS_SOFTWARE=1
export QT_QUICK_BACKEND=${QT_QUICK_BACKEND:-}
ctest_args=(--test-dir "$build" --output-on-failure -j "${JOBS:-$(nproc)}" --timeout 600)
if [ -z "${DISPLAY:-}" ]; then
    xvfb-run -a -s "-screen 0 1920x1080x24" ctest "${ctest_args[@]}"
else
    ctest "${ctest_args[@]}"
fi
