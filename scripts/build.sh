#!/usr/bin/env bash
# Configures and builds one flavour: scripts/build.sh [release|sanitize] (folder build/ or build-sanitize/).
set -euo pipefail
cd "$(dirname "$0")/.."
flavour=${1:-release}
jobs=$(nproc)
case "$flavour" in
  release)  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
            cmake --build build -j "$jobs" ;;
  sanitize) cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAQ_SANITIZE=ON \
                  -DTAQ_BUILD_BENCH=OFF >/dev/null
            cmake --build build-sanitize -j "$jobs" ;;
  *) echo "usage: scripts/build.sh [release|sanitize]" >&2; exit 2 ;;
esac
