#!/bin/sh
# Installs the Debian packages the control unit, its tools and its tests need.
# Runs apt-get only when something is missing, and then 'apt-get update' once.
set -e
PACKAGES="build-essential cmake pkg-config qtbase5-dev libqt5serialport5-dev libbenchmark-dev \
wget iproute2 util-linux procps socat xvfb xauth x11-apps x11-utils imagemagick tesseract-ocr \
tesseract-ocr-eng clang python3 xdotool poppler-utils"
missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    if [ "$(id -u)" -ne 0 ]; then
        echo "Packages are missing and this is not root; run as root or install:$missing" >&2
        exit 1
    fi
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y $missing
fi
