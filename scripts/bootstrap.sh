#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the fuzzers and the
# benchmarks use. Idempotent and quick when nothing is missing: apt is only
# touched when dpkg reports a package absent.
set -euo pipefail

packages=(
  cmake ninja-build make g++ python3
  libgtest-dev googletest
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine64 xvfb xauth x11-utils imagemagick
  clang libclang-rt-14-dev llvm
  ntfs-3g sleuthkit
  ntfs-3g-dev pkg-config
  valgrind time
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

if [[ $(id -u) -ne 0 ]]; then
  echo "bootstrap: missing packages: ${missing[*]}" >&2
  echo "bootstrap: run as root (or install them) and try again" >&2
  exit 1
fi

echo "bootstrap: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
