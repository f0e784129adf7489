#!/usr/bin/env bash
# Fails when the launcher executable ($1) links a library that its start-up does not use and
# that costs the start dearly: each is loaded, relocated and initialised, with everything it
# pulls in, before main. Frames are decoded by libjpeg-turbo and Qt, never by OpenCV's decoder.
set -euo pipefail
exe=$1
unwanted='libopencv_imgcodecs|libopencv_imgproc'
needed=$(LC_ALL=C readelf -d "$exe" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
if [ -z "$needed" ]; then
    echo "check-launcher-libraries: cannot read the libraries of $exe"
    exit 1
fi
found=$(grep -E "^($unwanted)\." <<<"$needed" || true)
if [ -n "$found" ]; then
    echo "check-launcher-libraries: $exe links what its start-up does not need:"
    echo "$found"
    exit 1
fi
echo "check-launcher-libraries: $(wc -l <<<"$needed") libraries linked directly, none unwanted"
