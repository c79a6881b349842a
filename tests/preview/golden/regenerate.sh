#!/usr/bin/env bash
# Writes the golden page pictures of the preview tests again from the current build. Run it
# only on purpose, then look at the new pictures and the diff before committing them.
set -euo pipefail
build="${1:-build}"
MIBROX_REGENERATE_GOLDEN=1 QT_QPA_PLATFORM=offscreen "$build/bin/preview_tests" \
  --gtest_filter='PreviewReports.SmallPrintFileMatchesItsGoldenPageAndItsPdfHoldsBoldTextOnce'
