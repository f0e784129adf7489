#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the headless GUI need.
# Only what is missing is installed, so a second run is quick.
set -euo pipefail

packages=(
    build-essential cmake ninja-build ccache pkg-config git
    qtbase5-dev qtbase5-dev-tools qtdeclarative5-dev qtquickcontrols2-5-dev
    qtmultimedia5-dev qtpositioning5-dev qtlocation5-dev libqt5svg5-dev
    qttools5-dev-tools libqt5opengl5-dev
    qml-module-qtquick2 qml-module-qtquick-controls qml-module-qtquick-controls2
    qml-module-qtquick-dialogs qml-module-qtquick-layouts qml-module-qtquick-window2
    qml-module-qtquick-shapes qml-module-qtgraphicaleffects qml-module-qtpositioning
    qml-module-qtlocation qml-module-qtmultimedia qml-module-qttest
    qml-module-qt-labs-settings qml-module-qtquick-templates2 qml-module-qtqml-models2
    libopencv-dev libturbojpeg0-dev libcrypto++-dev zlib1g-dev
    libbenchmark-dev libspdlog-dev
    xvfb xauth x11-apps libgl1-mesa-dri libglx-mesa0 mesa-utils fonts-dejavu-core
    imagemagick
    clang libclang-rt-dev iproute2 openssl
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: all packages present"
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "install-deps: done"
