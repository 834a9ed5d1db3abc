#!/usr/bin/env bash
# Pictures of the desktop application for a person to look at: every mode
# at every display size, and the rooms, selection, template and name
# dialogs, with a small sample project open, drawn under a virtual X server
# (Xvfb).
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

tmp=$(mktemp -d)
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

{
  # 事務室: every part with a group closed by a subtotal, a door deducted.
  room Data 事務室 2 5.4 3.6 2.7 1 \
    1:1=○ 1:2=フローリング 1:3='A*S' 1:5=19.44 2:3=小計 2:5=19.44 \
    1:6=○ "1:7=ソフト巾木 H60" 1:9='(A+S)*2' 1:11=18.00 \
    2:8=D1 2:9=0.80 2:10=▲ 2:11=-0.80 3:9=小計 3:11=17.20 \
    1:12=○ "1:13=PB t12.5+EP" 1:15='(A+S)*2*L' 1:17=48.60 \
    2:14=D1 2:15='0.80*2.00' 2:16=▲ 2:17=-1.60 3:15=小計 3:17=47.00 \
    4:12=○ "4:13=ビニルクロス（不燃・防汚）張り" 4:15='(12.345+0.655)*155.0' \
    4:17=2015.00 5:15=小計 5:17=2015.00 \
    1:18=○ 1:19=岩綿吸音板 1:20='A*S' 1:22=19.44 2:20=小計 2:22=19.44 \
    1:23=○ 1:24=カーテンボックス 1:25=A 1:27=5.40 2:25=小計 2:27=5.40
  room Data 会議室 1 4.5 3.6 2.7 0 \
    1:1=○ 1:2=タイルカーペット 1:3='A*S' 1:5=16.20 2:3=小計 2:5=16.20 \
    1:12=○ "1:13=PB t12.5+EP" 1:15='(A+S)*2*L' 1:17=43.74 2:15=小計 2:17=43.74
  room Data 廊下 1 12 1.8 2.5 0 \
    1:1=○ 1:2=長尺シート 1:3='A*S' 1:5=21.60
  room Gaib 北面 1 18 "" 3 0 \
    1:12=○ 1:13=吹付タイル 1:15='A*L' 1:17=54.00 \
    2:14='AW1*2' 2:15='1.60*1.20*2' 2:16=▲ 2:17=-3.84 3:15=小計 3:17=50.16
  room Gaib 南面 1 18 "" 3 0
  printf 'Tate,D1,800,2000\nTate,AW1,1600,1200\n'
} | iconv -f UTF-8 -t CP932 | sed 's/$/\r/' >"$base/Data/見本.xdt"

export VELTRANO_BASE="$base"
export XDG_RUNTIME_DIR="$tmp/run"
export XDG_CONFIG_HOME="$tmp/config"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
run=("$app" --screenshot-to "$out" "$base/Data/見本.xdt")
if command -v xvfb-run >/dev/null 2>&1; then
  xvfb-run -a -s "-screen 0 1600x1000x24 -dpi 96" "${run[@]}"
else
  echo "xvfb-run not found: drawing offscreen" >&2
  QT_QPA_PLATFORM=offscreen "${run[@]}"
fi
echo "screenshots in $out"
