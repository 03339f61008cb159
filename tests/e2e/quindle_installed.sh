#!/usr/bin/env bash
# Runs inside a fresh Debian root, maybe of another release than the one the package was built on:
# installs the package with apt as a user would (its recommended packages too), then the test tools, and
# runs the end-to-end suite on X11 and Wayland against the installed /usr/bin/quindle, whose word list is
# /etc/quindle/wordlist.txt.
# Usage: quindle_installed.sh PACKAGE.deb
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/x11.sh"
source "$here/wayland.sh"
deb=$1

apt_get() {
    DEBIAN_FRONTEND=noninteractive apt-get -y -qq -o Dpkg::Use-Pty=0 "$@"
}
installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

apt_get update
apt_get install "$deb" >/dev/null
echo "installed quindle $(dpkg-query -W -f='${Version}' quindle) with apt on Debian" \
    "$(cat /etc/debian_version)"
# Before the tools, which need the plugin themselves: the package alone must bring it.
installed qt6-wayland || x11_fail "installing the package did not bring its recommended qt6-wayland"
[ "$(readlink -f /usr/lib/quindle/wordlist.txt)" = /etc/quindle/wordlist.txt ] ||
    x11_fail "/usr/lib/quindle/wordlist.txt does not lead to /etc/quindle/wordlist.txt"
apt_get install --no-install-recommends "${QUINDLE_X11_PACKAGES[@]}" "${QUINDLE_WAYLAND_PACKAGES[@]}" \
    python3-pyatspi at-spi2-core dbus-daemon >/dev/null
exec "$here/quindle_e2e.sh" /usr/bin/quindle
