#!/usr/bin/env bash
# Qt for 64-bit Windows, built once from Debian's own source package of Qt (the version the Linux
# build uses) with Debian's MinGW-w64, and kept in a cache outside the build folders; later runs use
# it at once. Prints the installed Qt's folder as its last line.
# The cache's root is SW_QT_CACHE (default /var/cache/sw30415); the Qt folder is qt-VERSION-mingw.
# The system's apt configuration is left as it is: the source comes through a list of this script's own.
# Usage: scripts/qt-mingw.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || true)
if [ -z "$version" ]; then
  scripts/packages.sh qt6-base-dev
  version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
fi
upstream=${version%%+*}
cache_root=${SW_QT_CACHE:-/var/cache/sw30415}
prefix=$cache_root/qt-$upstream-mingw
if [ -f "$prefix/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
  echo "$prefix"
  exit 0
fi

scripts/packages.sh g++-mingw-w64-x86-64-posix qt6-base-dev-tools dpkg-dev ninja-build cmake
work=$cache_root/qt-$upstream-mingw.work
log=$work/build.log
rm -rf "$work"
mkdir -p "$work"
fail() {
  tail -n 60 "$log" >&2
  echo "qt-mingw: $1; the whole log is $log" >&2
  exit 1
}
echo "qt-mingw: building Qt $upstream for Windows into $prefix (about 20 minutes; log in $log)" >&2

# Debian's source archive through a source list, lists folder and cache of our own.
apt_dir=$work/apt
mkdir -p "$apt_dir/lists/partial" "$apt_dir/sources.list.d" "$apt_dir/archives/partial"
cat >"$apt_dir/sources.list.d/debian-src.sources" <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
apt_opts=(-o "Dir::Etc::sourcelist=/dev/null" -o "Dir::Etc::sourceparts=$apt_dir/sources.list.d"
  -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache::archives=$apt_dir/archives"
  -o "APT::Sandbox::User=root")
(cd "$work" && apt-get "${apt_opts[@]}" update -qq &&
  apt-get "${apt_opts[@]}" source --download-only "qt6-base=$version") >>"$log" 2>&1 ||
  fail "fetching the source package qt6-base=$version failed"

# Each file the .dsc names must carry the SHA-256 the .dsc gives for it.
dsc=$(ls "$work"/qt6-base_*.dsc)
awk '/^Checksums-Sha256:/ {on = 1; next} /^[^ ]/ {on = 0} on && NF == 3 {print $1 "  " $3}' "$dsc" \
  >"$work/sha256"
[ -s "$work/sha256" ] || fail "$dsc names no SHA-256 checksums"
(cd "$work" && sha256sum --check --strict "$work/sha256") >>"$log" 2>&1 ||
  fail "a file of the source package does not match its checksum in $dsc"
(cd "$work" && dpkg-source -x "$dsc" src) >>"$log" 2>&1 || fail "unpacking $dsc failed"

# Only what the window, the controls and their tests use. tabletevent and direct2d: the +dfsg
# source drops wintab and MinGW has no wintab.h; dynamicgl and directwrite3 do not build with
# opengl and direct2d off.
features_off=(network sql dbus opengl printsupport concurrent xml vulkan icu pkg_config
  androiddeployqt tabletevent direct2d dynamicgl directwrite3)
flags=()
for f in "${features_off[@]}"; do flags+=("-DFEATURE_$f=OFF"); done
staging=$prefix.partial
rm -rf "$staging"
cmake -S "$work/src" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DSW_MINGW_SHARED_RUNTIME=ON \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$staging" -DBUILD_SHARED_LIBS=ON \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DFEATURE_testlib=ON "${flags[@]}" \
  >>"$log" 2>&1 || fail "configuring Qt failed"
cmake --build "$work/build" -j"$(nproc)" >>"$log" 2>&1 || fail "building Qt failed"
cmake --install "$work/build" >>"$log" 2>&1 || fail "installing Qt failed"
mv "$staging" "$prefix"
rm -rf "$work"
echo "qt-mingw: Qt $upstream for Windows is in $prefix (log removed with the work folder)" >&2
echo "$prefix"
