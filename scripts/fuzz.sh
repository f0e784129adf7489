#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/fuzz_*.cpp) with clang in the build directory the
# sanitizer run shares (build-asan/, or $FUZZ_BUILD_DIR) and runs each for FUZZ_SECONDS (30)
# seconds. Without clang it says so and does nothing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if ! command -v clang++ >/dev/null; then
    echo "fuzz: clang++ is not installed; fuzzing skipped."
    exit 0
fi
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf '#include <cstddef>\n#include <cstdint>\nextern "C" int LLVMFuzzerTestOneInput(const uint8_t *, size_t) { return 0; }\n' \
    >"$probe/probe.cpp"
if ! clang++ -fsanitize=fuzzer,address "$probe/probe.cpp" -o "$probe/probe" >/dev/null 2>&1; then
    echo "fuzz: clang cannot link libFuzzer (package libclang-rt-dev missing?); fuzzing skipped."
    exit 0
fi
build=${FUZZ_BUILD_DIR:-$root/build-asan}
seconds=${FUZZ_SECONDS:-30}
jobs=${JOBS:-$(nproc)}
bash "$root/scripts/configure-clang.sh" "$build"
cmake --build "$build" --target fuzzers --parallel "$jobs"

mapfile -t targets < <(find "$build/fuzz" -maxdepth 1 -type f -name 'fuzz_*' -perm -u+x | sort)
if [ ${#targets[@]} -eq 0 ]; then
    echo "fuzz: no fuzz targets were built."
    exit 0
fi
# Leaks that Qt keeps inside itself are not ours (see the suppressions).
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/scripts/sanitize.supp:print_suppressions=0}
status=0
for target in "${targets[@]}"; do
    name=$(basename "$target")
    corpus="$build/corpus/$name"
    artifacts="$build/artifacts/$name"
    log="$build/$name.log"
    mkdir -p "$corpus" "$artifacts"
    dirs=("$corpus")
    [ -d "$root/fuzz/corpus/$name" ] && dirs+=("$root/fuzz/corpus/$name")
    options=()
    [ -f "$root/fuzz/$name.dict" ] && options+=(-dict="$root/fuzz/$name.dict")
    echo "fuzz: running $name for ${seconds} s"
    if "$target" -max_total_time="$seconds" -artifact_prefix="$artifacts/" -print_final_stats=1 \
        "${options[@]}" "${dirs[@]}" >"$log" 2>&1; then
        grep -E "stat::number_of_executed_units|Done " "$log" | sed "s/^/fuzz: $name: /" || true
    else
        echo "fuzz: $name FAILED; inputs in $artifacts, log $log:"
        tail -n 40 "$log"
        status=1
    fi
done
exit $status
