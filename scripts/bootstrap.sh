#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the fuzzers and the
# benchmarks use, and fetches the sources of the libraries the build
# compiles itself (zstd, from Debian's source package) into the folder given
# as the first argument (default build/deps). Idempotent and quick when
# nothing is missing: apt is only touched when dpkg reports a package absent
# or a source is not unpacked yet.
#   scripts/bootstrap.sh [DEPS_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
deps=${1:-$here/../build/deps}

packages=(
  cmake ninja-build make g++ python3
  libgtest-dev googletest
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine64 xvfb xauth x11-utils imagemagick
  clang libclang-rt-14-dev llvm
  ntfs-3g sleuthkit
  ntfs-3g-dev pkg-config
  valgrind time
  ncdu xz-utils zstd
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

need_root() {
  if [[ $(id -u) -ne 0 ]]; then
    echo "bootstrap: $1" >&2
    echo "bootstrap: run as root (or install them) and try again" >&2
    exit 1
  fi
}

export DEBIAN_FRONTEND=noninteractive
if ((${#missing[@]} > 0)); then
  need_root "missing packages: ${missing[*]}"
  echo "bootstrap: installing ${missing[*]}"
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# zstd's library sources, unpacked once into $deps/zstd; the build compiles
# lib/ into a static library for every configuration (cmake/zstd.cmake).
# The source package comes from Debian's own archive through a deb-src
# entry this script adds, the one network source besides the packages.
zstd_dir=$deps/zstd
if [[ ! -f $zstd_dir/lib/zstd.h ]]; then
  need_root "zstd's sources are not in $zstd_dir yet"
  src_list=/etc/apt/sources.list.d/ombrix-deb-src.sources
  if [[ ! -f $src_list ]]; then
    cat >"$src_list" <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  fi
  download=$deps/download
  mkdir -p "$download"
  if ! compgen -G "$download/libzstd_*.orig.tar.*" >/dev/null; then
    echo "bootstrap: fetching the libzstd source package"
    apt-get update -qq
    (cd "$download" && apt-get source --download-only -qq libzstd >/dev/null 2>&1)
  fi
  rm -rf "$zstd_dir.partial"
  mkdir -p "$zstd_dir.partial"
  tar -xf "$(compgen -G "$download/libzstd_*.orig.tar.*" | grep -v '\.asc$' | head -n 1)" \
    -C "$zstd_dir.partial" --strip-components=1
  rm -rf "$zstd_dir"
  mv "$zstd_dir.partial" "$zstd_dir"
fi
