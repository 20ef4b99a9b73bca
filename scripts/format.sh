#!/usr/bin/env bash
# Formats every C and C++ source of the project with the repository's .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files '*.cpp' '*.h' '*.cc' | xargs -r clang-format -i
