#!/usr/bin/env bash
# Checks the include rules between the folders; prints each offending line and fails on any.
#   scripts/check_layers.sh [source folder]   (default: the folder above this script)
#
#   formats/            includes nothing of engine/, workspace/, report/, preview/, pagesetup/
#                       and no widgets: it is what both programs exchange
#   report/             includes nothing of workspace/ (given the model and the result)
#   preview/, pagesetup/ include nothing of report/, workspace/ or engine/
#   pagesetup/          includes nothing of preview/ (it sits below the preview window)
set -uo pipefail
root="${1:-$(dirname "$0")/..}"
cd "$root" || exit 2

failed=0
# forbid <folder> <pattern of included paths> <what the rule says>
forbid() {
  local folder="$1" pattern="$2" rule="$3" hits
  [ -d "$folder" ] || return 0
  hits=$(grep -rnE --include='*.h' --include='*.cpp' \
           "^[[:space:]]*#[[:space:]]*include[[:space:]]*[\"<]($pattern)" "$folder")
  if [ -n "$hits" ]; then
    echo "$rule:"
    echo "$hits"
    failed=1
  fi
}

forbid formats 'engine/|workspace/|report/|preview/|pagesetup/|foundation/ui/|QtWidgets|QWidget|QDialog|QApplication' \
  "formats/ sits below every program and has no widgets"
forbid report 'workspace/' "report/ must not include workspace/"
forbid preview 'report/|workspace/|engine/' "preview/ must not include report/, workspace/ or engine/"
forbid pagesetup 'report/|workspace/|engine/|preview/' \
  "pagesetup/ must not include report/, workspace/, engine/ or preview/"

[ "$failed" -eq 0 ] && echo "include rules hold"
exit "$failed"
