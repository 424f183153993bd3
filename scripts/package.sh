#!/usr/bin/env bash
# The Debian package: builds (scripts/build.sh), then cpack makes sw30415_<version>-<revision>_amd64.deb in the
# build folder, its dependencies worked out from the binaries. Prints the package's path.
# Usage: scripts/package.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
scripts/build.sh "$build_dir" >&2
# dpkg-shlibdeps, which finds the packages that hold the libraries the binaries use.
PACKAGES_LOG="$build_dir/packages.log" scripts/packages.sh dpkg-dev >&2
(cd "$build_dir" && cpack -G DEB >cpack.log) || { cat "$build_dir/cpack.log" >&2; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
revision=$(sed -n 's/^set(CPACK_DEBIAN_PACKAGE_RELEASE "\(.*\)")$/\1/p' "$build_dir/CPackConfig.cmake")
realpath "$build_dir/sw30415_${version}-${revision}_amd64.deb"
