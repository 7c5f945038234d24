#!/usr/bin/env bash
# Builds a show's web page with emscripten and has headless Chromium play it and compare it
# with the show's renderer (page_check.mjs). Exits 77 (skipped)
# when emscripten, Node.js or Chromium is not installed.
#   web_page_test.sh SOURCE_DIR WEB_BUILD_DIR TARGET PAGE RENDERER CHECK_FRAMES END_FRAME [SOUND [DIR]]
# PAGE is the page's path in WEB_BUILD_DIR; CHECK_FRAMES a comma list, or - for none; SOUND
# "no" when the show may be silent in its first END_FRAME frames; DIR a folder of replacement
# files (and TITLE) to build the page with and give the renderer.
set -euo pipefail
if [ $# -lt 7 ]; then
  sed -n '5,8s/^# \{0,1\}//p' "$0" >&2
  exit 2
fi
source_dir=$1 build_dir=$2 target=$3 page=$4 renderer=$5 check=$6 end=$7 sound=${8:-yes}
overrides=${9:-}

for tool in emcmake node chromium; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "web page test skipped: $tool is not installed (./dev installs emscripten," \
      "node-acorn and chromium)"
    exit 77
  fi
done

export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
launcher=()
command -v ccache >/dev/null 2>&1 &&
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
emcmake cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" \
  -DGREETING_RESOURCE_OVERRIDES="$overrides" >/dev/null
cmake --build "$build_dir" -j 2 --target "$target" >/dev/null

# Room for a busy machine to show the frames at half speed, and for the page to load.
checks=(--timeout $((end / 30 + 60 > 120 ? end / 30 + 60 : 120)))
if [ -n "$overrides" ]; then
  title=$(head -n 1 "$overrides/TITLE")
  checks+=(--overrides "$overrides" --title "${title%$'\r'}")
fi
exec node "$source_dir/tests/web/page_check.mjs" --chromium "$(command -v chromium)" \
  --page "$build_dir/$page" --renderer "$renderer" --check "${check/#-/}" --end "$end" \
  --sound "$sound" ${checks[@]+"${checks[@]}"}
