#!/usr/bin/env bash
# Installs the Debian packages the build, the tests or the benchmarks need, when any is missing.
# Usage: scripts/deps.sh [run|test|bench|package]
set -euo pipefail
want=(cmake g++ make qt6-base-dev qt6-qpa-plugins libqscintilla2-qt6-dev libgl-dev)
case "${1:-run}" in
  test) want+=(libbenchmark-dev poppler-utils xvfb xdotool imagemagick desktop-file-utils clang clang-format libclang-rt-14-dev) ;;
  bench) want+=(libbenchmark-dev poppler-utils xvfb xauth linux-source ripgrep) ;;
  package) want+=(dpkg-dev file) ;;
esac
missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
if ! "${sudo_cmd[@]}" apt-get install -y -q "${missing[@]}"; then
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q "${missing[@]}"
fi
