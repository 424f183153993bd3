#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks for building, then builds the program and its tests.
# Usage: scripts/build.sh [build-dir] [extra cmake arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
shift || true

PACKAGES_LOG="$build_dir/packages.log" scripts/packages.sh cmake g++ make googletest libgtest-dev libcli11-dev nlohmann-json3-dev qt6-base-dev libssl-dev

cmake -S . -B "$build_dir" "$@"
cmake --build "$build_dir" -j"$(nproc)"
