#!/usr/bin/env bash
# Builds and runs the benchmark: every performance target of the design on the
# large site, as a table. The numbers are reported, never judged by CI.
#   scripts/bench.sh [postgresql://user@host:port/db]
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh >/dev/null
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "${JOBS:-$(nproc)}" --target bench_targets >/dev/null
echo "host: $(nproc) cores, $(uname -sr); Qt $(qtpaths6 --qt-version 2>/dev/null || echo 6)"
./build/bench/bench_targets "$@"
