#!/bin/sh
# Rewrites the golden files of the report tests from the current code, on purpose:
#   tests/report/golden/regenerate.sh [build folder]
# Read the diff (git diff tests/report/golden) before committing the new files.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../../build}
cmake --build "$build" --target report_tests
MIBROX_REGENERATE_GOLDEN=1 "$build/bin/report_tests" \
  --gtest_filter='GoldenReports.*:MakeFigureDataBytes.GoldenFileOfAHandFilledBuffer:MakeFigureListBytes.GoldenFileWithNumbersInPrintZones'
git -C "$here" status --short .
