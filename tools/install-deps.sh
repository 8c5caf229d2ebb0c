#!/usr/bin/env bash
# Installs the Debian packages a make target needs, when they are missing.
# Usage: tools/install-deps.sh GROUP...   (GROUP: build, test, bench, lint)
set -euo pipefail

usage="usage: tools/install-deps.sh GROUP...   (GROUP: build, test, bench, lint)"

# Prints the packages of a group; fails for a group that does not exist.
packages_for() {
    case "$1" in
        build) echo "cmake g++ make pkg-config freeglut3-dev libgl-dev libpng-dev zlib1g-dev libgtest-dev libgmock-dev libbenchmark-dev libtinyobjloader-dev" ;;
        test) echo "python3 xvfb xauth xdotool imagemagick x11-utils valgrind clang-14 libclang-rt-14-dev time libgl1-mesa-dri assimp-testmodels fonts-urw-base35" ;;
        bench) echo "libgl1-mesa-dri xvfb xauth" ;;
        lint) echo "clang-format clang-tidy cppcheck" ;;
        *) return 1 ;;
    esac
}

[ $# -gt 0 ] || { echo "$usage" >&2; exit 2; }
missing=()
for group in "$@"; do
    # Checked apart from the loop below: a failure inside $(...) would not stop it.
    packages=$(packages_for "$group") || { echo "install-deps: unknown group '$group'" >&2; echo "$usage" >&2; exit 2; }
    for p in $packages; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing Debian packages: ${missing[*]}" >&2
    echo "Install them with: sudo apt-get install ${missing[*]}" >&2
    exit 1
fi
echo "Installing Debian packages: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq >&2
apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
