#!/usr/bin/env bash
# Installs what the project needs, then builds and runs every test twice: in the
# normal build, then in the address- and undefined-behaviour-sanitizer build.
# Stops at the first failure; its output ends with ctest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
jobs=${JOBS:-$(nproc)}

run_build() {
  local dir=$1; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  (cd "$dir" && ctest --output-on-failure -j "$jobs")
}

echo "== normal build (build/)"
run_build build
echo "== sanitizer build (build-asan/)"
run_build build-asan -DTALMER_SANITIZE=ON -DTALMER_BUILD_BENCH=OFF
