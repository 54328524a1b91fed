#!/bin/sh
# Installs what is missing, builds, and runs every test through CTest.
set -e
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh
cd build
ctest -j2 --output-on-failure
