#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test with CTest.
# Extra CMake arguments go to the configure step; BUILD_DIR chooses the build folder.
set -euo pipefail
cd "$(dirname "$0")"
build_dir="${BUILD_DIR:-build}"
# Test-only packages: PDF inspection and the word processor that opens exported documents.
MIBROX_EXTRA_PACKAGES="poppler-utils qpdf libreoffice-writer-nogui" \
  scripts/setup.sh "$build_dir" "$@"

# Some tests run under a decimal-comma locale to prove number handling ignores the locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  if [ "$(id -u)" -eq 0 ]; then
    sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
  fi
fi

cmake --build "$build_dir" --parallel
cd "$build_dir"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)"
