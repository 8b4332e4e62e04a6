#!/usr/bin/env bash
# Builds the library and its command-line tool, then runs the tool on the
# embedded defaults.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh >/dev/null
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "${JOBS:-$(nproc)}" --target talmerctl >/dev/null
./build/tools/talmerctl/talmerctl version
