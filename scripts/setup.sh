#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), plus those named in
# MIBROX_EXTRA_PACKAGES (the test-only ones, from test.sh), puts the font alias file into
# fontconfig's /etc/fonts/conf.d, and configures the build folder given as $1 (default: build)
# with any further CMake arguments.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev
  libzip-dev libqpdf-dev
  fonts-ipafont-mincho fonts-ipafont-gothic fonts-liberation2
  locales
  ${MIBROX_EXTRA_PACKAGES:-}
)
sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
missing=()
for p in ${packages[@]}; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi

# The font aliases a word processor needs to draw an exported document's Mincho and Gothic
# faces (and its table columns) with the IPA fonts; `cmake --install` puts the same file there.
alias_source="$(dirname "$0")/../packaging/fontconfig/65-mibrox-japanese.conf"
alias_target=/etc/fonts/conf.d/65-mibrox-japanese.conf
if ! cmp -s "$alias_source" "$alias_target"; then
  $sudo_cmd install -D -m 644 "$alias_source" "$alias_target"
  if command -v fc-cache >/dev/null; then $sudo_cmd fc-cache -f >/dev/null; fi
fi

build_dir="${1:-build}"
shift || true
cmake -S "$(dirname "$0")/.." -B "$build_dir" -G Ninja "$@"
