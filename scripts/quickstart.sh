#!/usr/bin/env bash
# From a fresh checkout to a first picture: installs the packages, builds the release flavour and runs
# the command-line program on the shipped example (outputs in ./stroke-out/).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh release
build/tools/stroke
