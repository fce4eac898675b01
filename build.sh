#!/usr/bin/env bash
# Tessellane's one entry point on a Debian machine:
#   ./build.sh run    install what is missing, build, start the editor on the demo game
#   ./build.sh test   install what is missing, build, run every test
#   ./build.sh package   build, then the Debian package and the portable
#                        .tar.gz in build/
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev fonts-dejavu-core
  mdbtools-dev libsqlite3-dev libpng-dev zlib1g-dev
  libgtest-dev libbenchmark-dev bash-completion
)
# What CPack needs for the Debian package: dpkg-shlibdeps works out its
# library dependencies, and file finds the programs to ask it about.
PACKAGING=(dpkg-dev file)

install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

build() {
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build build -j"$(nproc)"
}

case "${1:-run}" in
  run)
    install_missing "${PACKAGES[@]}"
    build
    exec build/bin/tessellane build/bin/demo.bin
    ;;
  test)
    install_missing "${PACKAGES[@]}"
    build
    cd build && ctest --output-on-failure -j"$(nproc)"
    ;;
  package)
    install_missing "${PACKAGES[@]}" "${PACKAGING[@]}"
    build
    cd build && cpack
    ;;
  *)
    echo "usage: $0 run|test|package" >&2
    exit 2
    ;;
esac
