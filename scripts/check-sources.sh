#!/usr/bin/env bash
# Fails on a source file of a library folder that no CMakeLists.txt above it lists: such a class
# would simply not be built, and its tests would fail only at link time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
missing=0
while IFS= read -r file; do
    dir=$(dirname "$file")
    found=0
    while [ "$dir" != "." ]; do
        if [ -f "$dir/CMakeLists.txt" ] && grep -qwF -- "${file#"$dir"/}" "$dir/CMakeLists.txt"; then
            found=1
            break
        fi
        dir=$(dirname "$dir")
    done
    if [ $found -eq 0 ]; then
        echo "check-sources: $file is in no CMakeLists.txt"
        missing=1
    fi
done < <(find core datamodel devices observation app tests/support -name '*.cpp' -o -name '*.h' | sort)
[ $missing -eq 0 ] && echo "check-sources: every library source is listed"
exit $missing
