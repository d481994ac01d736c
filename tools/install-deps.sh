#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian 12. Idempotent, no prompts.
#   --bench   also what make bench needs (the peer SNTP clients and the plots)
set -eu
packages=(
    g++ cmake ninja-build googletest python3 python3-pil
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    wine wine32:i386 wine64
    xvfb xauth x11-utils imagemagick
    fonts-dseg fonts-dejavu-core python3-numpy python3-fonttools nsis
    # The fuzz targets: clang with libFuzzer.
    clang-14 libclang-rt-14-dev
)
if [ "${1:-}" = --bench ]; then
    # chrony replaces systemd-timesyncd when installed; the benchmark only ever runs
    # chronyd -Q, never the service.
    packages+=(chrony ntpsec-ntpdig sntp python3-matplotlib)
fi
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
# No package may start a daemon here (chronyd above all): deny service starts while installing.
guard=""
if [ ! -e /usr/sbin/policy-rc.d ]; then
    guard=/usr/sbin/policy-rc.d
    printf '#!/bin/sh\nexit 101\n' | $sudo tee "$guard" >/dev/null
    $sudo chmod +x "$guard"
fi
status=0
$sudo apt-get install -y -q "${missing[@]}" || status=$?
[ -n "$guard" ] && $sudo rm -f "$guard"
exit $status
