#!/usr/bin/env bash
# Installs the Debian 12 packages the library, its tests, benchmarks and program need. Run as root.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libocct-foundation-dev libocct-modeling-data-dev libocct-modeling-algorithms-dev libocct-data-exchange-dev
  nlohmann-json3-dev libcli11-dev libcpp-httplib-dev
  chromium fonts-dejavu-core
  clang-14 libclang-rt-14-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# node and npm for the browser tests of the drawing page (a node already on the machine is kept), and
# playwright-core in tests/browser (it drives the chromium above; it downloads no browser).
if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends nodejs npm
fi
browser_tests="$(cd "$(dirname "$0")/../tests/browser" && pwd)"
if [ ! -f "$browser_tests/node_modules/playwright-core/package.json" ]; then
  (cd "$browser_tests" && npm ci --no-audit --no-fund --loglevel=error)
fi
