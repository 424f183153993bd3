#!/usr/bin/env bash
# Installs those of the Debian packages named that this machine lacks (apt-get, as root or with sudo).
# The package manager's output goes to a log (PACKAGES_LOG, default build/packages.log) and is shown
# only when the install fails.
# Usage: scripts/packages.sh PACKAGE...
set -euo pipefail
cd "$(dirname "$0")/.."
log=${PACKAGES_LOG:-build/packages.log}
missing=()
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
((${#missing[@]})) || exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
mkdir -p "$(dirname "$log")"
echo "installing ${#missing[@]} packages: ${missing[*]}; log in $log"
if ! { $sudo apt-get update -qq && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"; } >"$log" 2>&1; then
  cat "$log" >&2
  echo "$(basename "$0"): installing ${missing[*]} failed; the log above is in $log" >&2
  exit 1
fi
