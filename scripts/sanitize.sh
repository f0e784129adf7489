#!/usr/bin/env bash
# Builds the project and its tests with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer into a build directory of their own (build-asan/, or
# $SANITIZE_BUILD_DIR; shared with scripts/fuzz.sh) and runs the whole test suite there.
# Benchmarks are not built. Any report of either sanitizer fails the test that caused it.
# Without clang it says so and does nothing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if ! command -v clang++ >/dev/null; then
    echo "sanitize: clang++ is not installed; sanitizer run skipped."
    exit 0
fi
build=${SANITIZE_BUILD_DIR:-$root/build-asan}
jobs=${JOBS:-$(nproc)}
bash "$root/scripts/configure-clang.sh" "$build"
cmake --build "$build" --parallel "$jobs"

# Leaks inside Qt's, Mesa's and fontconfig's own caches are theirs; see the suppressions.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/scripts/sanitize.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LIBGL_ALWAYS_SOFTWARE=1
# Mesa unloads its software driver when the last GL context ends; what the driver keeps would
# then show as leaks of an unknown module. Loaded from the start, it stays loaded.
for dri in /usr/lib/*/dri/swrast_dri.so; do
    [ -f "$dri" ] && export LD_PRELOAD="$dri${LD_PRELOAD:+:$LD_PRELOAD}" && break
done
ctest_args=(--test-dir "$build" --output-on-failure -j "$jobs" --timeout 900)
if [ -z "${DISPLAY:-}" ]; then
    xvfb-run -a -s "-screen 0 1920x1080x24" ctest "${ctest_args[@]}"
else
    ctest "${ctest_args[@]}"
fi
