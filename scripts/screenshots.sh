#!/usr/bin/env bash
# Pictures of the desktop application for a person to look at: every mode
# at every display size, the rooms, selection, print, template and name
# dialogs, and the first page of two printouts, with a small sample house
# open, drawn under a virtual X server (Xvfb). The operation manual's
# pictures are chosen from these (scripts/manual-images.sh).
#
#   bash scripts/screenshots.sh [OUTPUT_DIR]   (default: BUILD/screenshots)
#
# Builds the program first when it is missing (BUILD is $VELTRANO_BUILD_DIR,
# default build/). KEEP_TMP=1 keeps the temporary base folder.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${VELTRANO_BUILD_DIR:-build}
out=$(realpath -m "${1:-$build/screenshots}")
app="$build/src/ui/veltrano"
if [ ! -x "$app" ]; then
  cmake -S . -B "$build" -G Ninja -DVELTRANO_UI=ON >/dev/null
  cmake --build "$build" --target veltrano
fi

# A fixed folder and fixed file times, so that pictures showing them (the
# file dialog) come out the same on every run.
tmp=/tmp/veltrano-screenshots
rm -rf "$tmp" && mkdir -p "$tmp"
[ -z "${KEEP_TMP:-}" ] || echo "temporary folder: $tmp" >&2
trap '[ -n "${KEEP_TMP:-}" ] || rm -rf "$tmp"' EXIT
base="$tmp/Veltrano"
mkdir -p "$base/Data" "$out"

# One room or place: its 50 sheet lines. Cells are given as
# "ROW:COLUMN=TEXT" with the sheet's row (1-50) and column (1-27).
room() {
  local tag=$1 name=$2 places=$3 a=$4 s=$5 l=$6 done=$7
  shift 7
  declare -A cell=()
  local spec
  for spec in "$@"; do cell[${spec%%=*}]=${spec#*=}; done
  local r c extra text
  for r in $(seq 1 50); do
    case $r in
      1) extra=$places ;; 2) extra=$a ;; 3) extra=$s ;; 4) extra=$l ;;
      5) extra=$done ;; *) extra=dm ;;
    esac
    if [ "$r" -eq 1 ]; then text="$tag,$name,"; else text="$tag,@,"; fi
    for c in $(seq 1 27); do text+="${cell[$r:$c]:-},"; done
    printf '%s%s,\n' "$text" "$extra"
  done
}

# UTF-8 lines on standard input as a project file's lines.
as_project_file() { iconv -f UTF-8 -t CP932 | sed 's/$/\r/'; }

{
  # A small house. LDK: every part with a group closed by a subtotal, the
  # door and the window deducted.
  room Data LDK 1 5.4 3.6 2.4 1 \
    1:1=○ 1:2=フローリング 1:3='A*S' 1:5=19.44 2:3=小計 2:5=19.44 \
    1:6=○ "1:7=ソフト巾木 H60" 1:9='(A+S)*2' 1:11=18.00 \
    2:8=D1 2:9=0.80 2:10=▲ 2:11=-0.80 3:9=小計 3:11=17.20 \
    1:12=○ "1:13=PB t12.5+ビニルクロス" 1:15='(A+S)*2*L' 1:17=43.20 \
    2:14=D1 2:15='0.80*2.00' 2:16=▲ 2:17=-1.60 \
    3:14=AW1 3:15='1.60*1.20' 3:16=▲ 3:17=-1.92 4:15=小計 4:17=39.68 \
    1:18=○ "1:19=PB t9.5+ビニルクロス" 1:20='A*S' 1:22=19.44 2:20=小計 2:22=19.44 \
    1:23=○ 1:24=カーテンボックス 1:25=A 1:27=5.4 2:25=小計 2:27=5.40
  room Data 和室 1 3.6 2.7 2.4 0 \
    1:1=○ 1:2=畳敷き 1:3='A*S' 1:5=9.72 2:3=小計 2:5=9.72 \
    1:12=○ 1:13=じゅらく塗り 1:15='(A+S)*2*L' 1:17=30.24 2:15=小計 2:17=30.24 \
    1:18=○ 1:19=杉板張り 1:20='A*S' 1:22=9.72 2:20=小計 2:22=9.72
  room Data 洋室 2 3.6 3.6 2.4 0 \
    1:1=○ 1:2=フローリング 1:3='A*S' 1:5=12.96 2:3=小計 2:5=12.96 \
    1:6=○ "1:7=ソフト巾木 H60" 1:9='(A+S)*2' 1:11=14.40 2:9=小計 2:11=14.40 \
    1:12=○ "1:13=PB t12.5+ビニルクロス" 1:15='(A+S)*2*L' 1:17=34.56 \
    2:15=小計 2:17=34.56 \
    1:18=○ "1:19=PB t9.5+ビニルクロス" 1:20='A*S' 1:22=12.96 2:20=小計 2:22=12.96
  room Data 洗面所 1 1.8 1.8 2.4 0 \
    1:1=○ 1:2=クッションフロア 1:3='A*S' 1:5=3.24 2:3=小計 2:5=3.24 \
    1:12=○ "1:13=ビニルクロス（不燃・防汚）張り" 1:15='(A+S)*2*L' 1:17=17.28 \
    2:15=小計 2:17=17.28
  room Data 廊下 1 4.5 0.9 2.4 0 \
    1:1=○ 1:2=フローリング 1:3='A*S' 1:5=4.05 2:3=小計 2:5=4.05
  room Gaib 北面 1 9.1 "" 5.8 0 \
    1:12=○ 1:13=吹付タイル 1:15='A*L' 1:17=52.78 \
    2:14='AW1*2' 2:15='1.60*1.20*2' 2:16=▲ 2:17=-3.84 3:15=小計 3:17=48.94
  room Gaib 南面 1 9.1 "" 5.8 0 \
    1:12=○ 1:13=吹付タイル 1:15='A*L' 1:17=52.78 2:15=小計 2:17=52.78
  printf 'Tate,D1,800,2000\nTate,AW1,1600,1200\n'
} | as_project_file >"$base/Data/山田邸.xdt"

# A second project, so that the file dialog lists more than one.
{
  room Data 事務室 1 6.3 5.4 2.6 0 \
    1:1=○ 1:2=タイルカーペット 1:3='A*S' 1:5=34.02 2:3=小計 2:5=34.02
} | as_project_file >"$base/Data/鈴木ビル.xdt"

# Written once more by the program itself, so that the files carry every
# record a saved project has (the summary tables' sizes among them) and open
# without the notice of a damaged file.
cli="$build/src/veltrano-cli"
[ -x "$cli" ] || cmake --build "$build" --target veltrano-cli
for project in 山田邸 鈴木ビル; do
  "$cli" --base "$tmp/cli-base" resave "$base/Data/$project.xdt" \
    -o "$base/Data/$project.xdt" 2>/dev/null
done

touch -d "2026-12-01 09:00" "$base/Data/山田邸.xdt" "$base/Data/鈴木ビル.xdt"

# As on an estimator's desktop: Japanese dates and file types.
export LANG=ja_JP.UTF-8
export VELTRANO_BASE="$base"
export XDG_RUNTIME_DIR="$tmp/run"
export XDG_CONFIG_HOME="$tmp/config"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
run=("$app" --screenshot-to "$out" "$base/Data/山田邸.xdt")
if command -v xvfb-run >/dev/null 2>&1; then
  xvfb-run -a -s "-screen 0 ${VELTRANO_SCREEN:-1600x1000}x24 -dpi 96" "${run[@]}"
else
  echo "xvfb-run not found: drawing offscreen" >&2
  QT_QPA_PLATFORM=offscreen "${run[@]}"
fi
# The first page of each printout as a picture too.
for pdf in print_sheet print_worktypes; do
  if [ -f "$out/$pdf.pdf" ] && command -v pdftoppm >/dev/null 2>&1; then
    pdftoppm -png -r 150 -f 1 -l 1 -singlefile "$out/$pdf.pdf" "$out/$pdf"
  fi
done
echo "screenshots in $out"
