#!/usr/bin/env bash
# Installs what is missing, builds, and starts Mibrox.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --parallel
exec build/bin/Mibrox "$@"
