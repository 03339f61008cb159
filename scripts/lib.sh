# Shared by the scripts: where things are, and installing missing Debian packages. Builds go through
# CMakePresets.json, which cmake and ctest read from the source folder.
set -euo pipefail

QUINDLE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# The main build: the folder of the release and default presets.
QUINDLE_BUILD="$QUINDLE_ROOT/build"

# What building and running the program needs; Tahoma comes from fonts-wine.
QUINDLE_RUN_PACKAGES=(g++ cmake ninja-build qt6-base-dev fonts-wine)
# What the tests and benchmarks add to that.
QUINDLE_TEST_PACKAGES=(libgtest-dev libbenchmark-dev)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

ensure_packages() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        as_root apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

# package_available NAME: true when NAME is installed or this machine's apt sources offer it.
package_available() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed' && return 0
    # Lists may be missing or old on a fresh machine.
    as_root apt-get update -qq
    [ -n "$(apt-cache policy "$1" 2>/dev/null | sed -n 's/^ *Candidate: //p' | grep -v '(none)')" ]
}
