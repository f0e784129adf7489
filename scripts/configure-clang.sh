#!/usr/bin/env bash
# Configures the clang build that scripts/sanitize.sh and scripts/fuzz.sh share (directory $1):
# AddressSanitizer, UndefinedBehaviorSanitizer and libstdc++'s assertions in every target, the
# tests, and the fuzz targets with libFuzzer's coverage when clang can link libFuzzer; no
# benchmarks. One build serves both, so CI compiles the sources with clang once. Does nothing if
# $1 is configured.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
[ -f "$build/CMakeCache.txt" ] && exit 0
fuzzers=OFF
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf '#include <cstddef>\n#include <cstdint>\nextern "C" int LLVMFuzzerTestOneInput(const uint8_t *, size_t) { return 0; }\n' \
    >"$probe/probe.cpp"
if clang++ -fsanitize=fuzzer,address "$probe/probe.cpp" -o "$probe/probe" >/dev/null 2>&1; then
    fuzzers=ON
fi
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
# Line tables only (-g1): reports name lines at little cost in build time. libstdc++'s
# assertions stop at a read of an empty container's front or past its end, which neither
# sanitizer sees while the memory behind it is still the container's.
cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=clang++ \
    "-DCMAKE_CXX_FLAGS=-g1 -D_GLIBCXX_ASSERTIONS" -DORVA_SANITIZERS=address,undefined -DORVA_BUILD_FUZZERS=$fuzzers \
    -DORVA_BUILD_TESTS=ON -DORVA_BUILD_BENCH=OFF -DORVA_WERROR=OFF
