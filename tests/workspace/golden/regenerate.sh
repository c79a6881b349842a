#!/bin/sh
# Rewrites the golden input files from the writer. Run on purpose, then read the diff.
#   tests/workspace/golden/regenerate.sh <build folder>
set -e
build=${1:-build}
MIBROX_REGENERATE_GOLDEN=1 "$build/bin/workspace_tests" --gtest_filter='InputFileWriter.writesTheGoldenFiles'
git -C "$(dirname "$0")" diff --stat -- .
