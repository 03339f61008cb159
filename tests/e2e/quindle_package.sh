#!/usr/bin/env bash
# Runs inside a throwaway Debian root: installs the package with apt, starts /usr/bin/quindle in a private
# Xvfb, keeps an edited word list through a reinstall and an upgrade, then removes and purges the package.
# Usage: quindle_package.sh PACKAGE.deb NEXT-VERSION.deb; the number of passed checks goes to ./passed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/x11.sh"
deb=$1
next=$2
title="Quindle - https://quindle.org"
list=/etc/quindle/wordlist.txt
edit="# edited by hand"

# Without a terminal dpkg cannot ask about a changed conffile; keeping the user's version is its default.
apt_get() {
    DEBIAN_FRONTEND=noninteractive apt-get -y -qq -o Dpkg::Use-Pty=0 -o Dpkg::Options::=--force-confold "$@"
}
finish() {
    x11_cleanup
    echo "$x11_passed" >"$here/passed"
}
trap finish EXIT

apt_get update
# Without recommended packages: Depends alone must be enough to run.
apt_get install --no-install-recommends "$deb" "${QUINDLE_X11_PACKAGES[@]}" >/dev/null
[ "$(readlink -f /usr/bin/quindle)" = /usr/lib/quindle/quindle ] || x11_fail "/usr/bin/quindle does not lead to /usr/lib/quindle/quindle"
[ "$(readlink -f /usr/lib/quindle/wordlist.txt)" = "$list" ] || x11_fail "/usr/lib/quindle/wordlist.txt does not lead to $list"
x11_pass "apt installed the package and its dependencies: $(dpkg-query -W -f='${Version}' quindle)"

# start_window GOOD BAD: starts the installed program, expects a window titled GOOD and none titled BAD.
start_window() {
    x11_launch "$x11_work/quindle.log" /usr/bin/quindle
    local pid=$x11_last_pid
    x11_expect_start "$1" "$2" 15 >/dev/null
    x11_stop "$pid"
}
x11_start
start_window "$title" "Error!"
x11_pass "/usr/bin/quindle opens its window without an error"
# It reads the list through the link beside it: with the file in /etc gone it reports the list missing.
mv "$list" "$list.away"
start_window "Error!" "$title"
mv "$list.away" "$list"
x11_pass "the program reads $list through /usr/lib/quindle/wordlist.txt"

echo "$edit" >>"$list"
apt_get install --reinstall "$deb"
grep -qxF "$edit" "$list" || x11_fail "reinstalling lost the edit of $list"
x11_pass "reinstall keeps the edited word list"

apt_get install "$next"
grep -qxF "$edit" "$list" || x11_fail "the upgrade lost the edit of $list"
[ -f "$list.dpkg-dist" ] || x11_fail "the upgrade did not set the new version's list beside the edited one"
x11_pass "upgrade to $(dpkg-query -W -f='${Version}' quindle) keeps the edit; the new list is $list.dpkg-dist"
echo "dpkg's log of the word list:"
grep -F "$list" /var/log/dpkg.log | sed 's/^/  /'

files=$(dpkg -L quindle | while read -r path; do [ -d "$path" ] || echo "$path"; done)
apt_get remove quindle
[ ! -e /usr/bin/quindle ] && [ ! -e /usr/lib/quindle ] || x11_fail "the program is left after apt-get remove"
grep -qxF "$edit" "$list" || x11_fail "apt-get remove did not keep the edited word list"
x11_pass "remove takes the program away and keeps the edited word list"

apt_get purge quindle
left=$(for path in $files /etc/quindle; do [ ! -e "$path" ] || echo "$path"; done)
[ -z "$left" ] || x11_fail "left after purge: $left"
dpkg-query -W quindle >/dev/null 2>&1 && x11_fail "dpkg still knows quindle after purge"
x11_pass "purge leaves nothing behind"
