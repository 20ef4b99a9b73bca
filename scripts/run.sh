#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program; arguments go to molvane (e.g. --simulate).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
./scripts/build.sh >/dev/null
exec "${BUILD_DIR:-build}/bin/molvane" "$@"
