#!/usr/bin/env bash
# Sets up, builds and starts Velmora on FILE (or on the bundled sample). Without a display it renders
# the window into a PNG and prints where.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-deps.sh
ensure_deps

file="${1:-examples/naidis.vlm}"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF >/dev/null
cmake --build build/release --target velmora -j"$(nproc)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    out="${VELMORA_SCREENSHOT:-${TMPDIR:-/tmp}/velmora-window.png}"
    ./build/release/velmora --screenshot "$out" "$file"
    echo "No display: rendered the window showing $file into $out"
else
    exec ./build/release/velmora "$file"
fi
