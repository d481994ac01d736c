#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian 12. Idempotent, no prompts.
set -eu
packages=(
    g++ cmake ninja-build googletest python3 python3-pil
    g++-mingw-w64-i686-posix
    wine wine32:i386
    xvfb xauth x11-utils imagemagick
    fonts-dseg fonts-dejavu-core python3-numpy python3-fonttools nsis
    # The fuzz targets: clang with libFuzzer.
    clang-14 libclang-rt-14-dev
    # make bench: the peer SNTP clients and the plots. chrony replaces systemd-timesyncd
    # when installed; the benchmark only ever runs chronyd -Q, never the service.
    chrony ntpsec-ntpdig sntp python3-matplotlib
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
# wine32 is an i386 package.
dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
$sudo apt-get update -q
$sudo apt-get install -y -q "${missing[@]}"
