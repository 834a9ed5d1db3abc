#!/usr/bin/env bash
# Takes the pictures of the operation manual again: runs the screenshot
# script and copies the screens the manual shows into docs/manual/images.
# Run it after a screen changes, look at the pictures, and commit them with
# the change.
set -euo pipefail
cd "$(dirname "$0")/.."

shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
bash scripts/screenshots.sh "$shots" >/dev/null
command -v pdftoppm >/dev/null 2>&1 ||
  { echo "pdftoppm (poppler-utils) is needed for the printouts" >&2; exit 1; }

images=docs/manual/images
mkdir -p "$images"
for name in size0_mode0 size0_mode5 size0_mode1 size0_mode3 size0_mode4 \
    size0_mode2_summary0 size0_mode2_summary1 size0_mode2_summary2 \
    size0_mode2_summary3 size2_mode0 rooms_dialog item_copy \
    aggregation_dialog print_dialog_mode0 print_dialog_mode2 \
    templates_dialog name_dialog print_sheet print_worktypes import_box size0_drawing \
    open_dialog; do
  cp "$shots/$name.png" "$images/$name.png"
done
echo "pictures in $images"
