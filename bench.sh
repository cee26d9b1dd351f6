#!/usr/bin/env bash
# Builds the benchmarks in a Release build and compares Velmora with Qt's rich-text engine on twin
# documents of 100 thousand and 1 million characters. Arguments go to velmora_compare, e.g.
#   ./bench.sh --chars 1000000 --runs 5 --html-spans run
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-deps.sh
ensure_deps

cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
cmake --build build/bench --target velmora_compare velmora_bench -j"$(nproc)" >&2
exec ./build/bench/bench/velmora_compare "$@"
