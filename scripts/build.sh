#!/usr/bin/env bash
# Configures and builds Parcelo into build/ (extra arguments go to cmake). A unity build:
# the sources of a target are compiled a few at a time, which halves a clean build.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_UNITY_BUILD=ON "$@" >/dev/null
cmake --build build
