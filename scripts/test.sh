#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; extra arguments go to cmake's configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
./scripts/build.sh "$@"
cd "${BUILD_DIR:-build}"
ctest --output-on-failure -j"$(nproc)"
