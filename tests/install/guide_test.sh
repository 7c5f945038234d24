#!/usr/bin/env bash
# Runs the shell blocks of docs/writing-a-show.md, in order, as a reader would: the first in a
# folder where `build` is this build tree, the rest wherever the guide goes, with a fresh home
# folder. So the package is installed into a temporary prefix and a copy of the starter show is
# built out of the tree against it and run to its end. Then checks what the guide promises.
#   guide_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$(cd "$1" && pwd)
build_dir=$(cd "$2" && pwd)
guide="$source_dir/docs/writing-a-show.md"

work=$(mktemp -d "${TMPDIR:-/tmp}/el-guide.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/el-source"
ln -s "$build_dir" "$work/el-source/build"

# The ```sh blocks, one script; each command is echoed as it runs.
{
  echo 'set -euo pipefail'
  echo 'set -x'
  awk '/^```sh$/ { inside = 1; next } /^```$/ { inside = 0; next } inside' "$guide"
} >"$work/guide.sh"
blocks=$(grep -c '^```sh$' "$guide")
[ "$blocks" -ge 3 ] || { echo "guide_test: only $blocks shell blocks in $guide" >&2; exit 1; }

# The player needs a display: a private virtual one, so that no window opens on a desktop.
run=(xvfb-run -a bash "$work/guide.sh")
# The desktop libraries under the player keep allocations to the end; leaks are not the point.
(cd "$work/el-source" && HOME="$work/home" ASAN_OPTIONS=detect_leaks=0 "${run[@]}")

fail() { echo "guide_test: $*" >&2; exit 1; }
show="$work/home/myshow"
prefix="$work/home/el"

# The show ran to its own end: ten seconds are 600 passes at 60 a second.
passes=$(wc -l <"$show/hashes.txt")
[ "$passes" -ge 595 ] && [ "$passes" -le 610 ] || fail "hello ran $passes passes, not about 600"
[ -s "$show/hello.mp4" ] || fail "no video"
# Space at pass 120 ended the run there, and the frames asked for were written.
[ -s "$show/frames/frame-000120.png" ] && [ ! -e "$show/frames/frame-000121.png" ] &&
  [ -s "$show/hello.wav" ] && [ -s "$show/sheet.png" ] || fail "the rendered files are missing"
# The picture next to the program replaced the built-in one.
cmp -s "$show/hashes.txt" "$show/hashes-heart.txt" && fail "the picture next to the program was not used"

# Installed headers: each quoted include is installed too, and none reaches SDL or the other
# libraries the platform hides.
include="$prefix/include/el"
while IFS= read -r header; do
  while IFS= read -r name; do
    [ -f "$include/$name" ] || fail "${header#"$include"/} includes $name, which is not installed"
  done < <(sed -n 's/^#include "\(.*\)"/\1/p' "$header")
done < <(find "$include" -name '*.h')
if grep -rlE '#include <(SDL|ft2build|fluidsynth|fontconfig|png)' "$include"; then
  fail "an installed header includes a hidden library's header"
fi
for private in show/greeting_program.h show/scenes.h app/shell.h platform/sdl; do
  [ ! -e "$include/$private" ] || fail "$private is installed"
done

# pkg-config: the three files resolve, and no SDL flags reach a show's compiler.
export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
pkg-config --exists --print-errors el el-player el-render
[ "$(realpath "$(pkg-config --variable=includedir el)")" = "$include" ] || fail "el.pc points elsewhere"
if pkg-config --cflags el-player | grep -qi sdl; then fail "SDL flags in el-player's cflags"; fi
pkg-config --static --libs el-player | grep -q -- '-lSDL2' || fail "el-player does not link SDL2"
echo "guide_test: $blocks blocks ran; hello ran $passes passes"
