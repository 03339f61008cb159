#!/usr/bin/env bash
# Builds the Debian package in build-pkg/, installs it, checks its files and desktop metadata, starts
# the installed program in a private Xvfb and removes the package again (also on failure).
# Any quindle package installed before is replaced and then removed.
source "$(dirname "$0")/lib.sh"
source "$QUINDLE_ROOT/tests/e2e/x11.sh"

ensure_packages "${QUINDLE_RUN_PACKAGES[@]}" dpkg-dev file desktop-file-utils appstream imagemagick \
    "${QUINDLE_X11_PACKAGES[@]}"

build="$QUINDLE_ROOT/build-pkg"
# One run at a time on this machine: the package is installed system-wide.
exec 9>/tmp/quindle-test-package.lock
flock 9
apt_get() {
    as_root env DEBIAN_FRONTEND=noninteractive apt-get -y -qq -o DPkg::Lock::Timeout=300 "$@"
}
package_installed() { dpkg-query -W -f='${Status}' quindle 2>/dev/null | grep -q 'install ok'; }
cleanup() {
    x11_cleanup
    if package_installed; then
        apt_get remove quindle >/dev/null || true
    fi
}
trap cleanup EXIT

configure_build "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DQUINDLE_BUILD_TESTS=OFF -DQUINDLE_BUILD_BENCHMARKS=OFF
cmake --build "$build" --parallel "${CMAKE_BUILD_PARALLEL_LEVEL:-2}"
rm -f "$build"/quindle_*.deb
(cd "$build" && cpack -G DEB)
debs=("$build"/quindle_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    x11_fail "cpack made no single quindle_*.deb"
fi
deb=${debs[0]}

# Exactly these files: the program's private folder, the launcher link and the desktop files.
expected="./usr/bin/quindle -> ../lib/quindle/quindle
./usr/lib/quindle/quindle
./usr/lib/quindle/wordlist.txt
./usr/share/applications/quindle.desktop
./usr/share/icons/hicolor/16x16/apps/quindle.png
./usr/share/icons/hicolor/32x32/apps/quindle.png
./usr/share/icons/hicolor/48x48/apps/quindle.png
./usr/share/icons/hicolor/scalable/apps/quindle.svg
./usr/share/metainfo/org.quindle.Quindle.metainfo.xml"
actual=$(dpkg-deb -c "$deb" | grep -v '^d' | sed -E 's/^([^ ]+ +){5}//' | sort)
[ "$actual" = "$expected" ] || x11_fail "package contents differ:
$(diff <(echo "$expected") <(echo "$actual") || true)"
x11_pass "package holds exactly the expected files"

depends=$(dpkg-deb -f "$deb" Depends)
[[ "$depends" == *fonts-wine* ]] || x11_fail "Depends lacks fonts-wine: $depends"
# dpkg-shlibdeps ran if the Qt libraries the program links are there.
[[ "$depends" == *libqt6widgets6* ]] || x11_fail "Depends lacks the Qt libraries: $depends"
x11_pass "Depends: $depends"

apt_get install "$deb"
[ "$(readlink -f /usr/bin/quindle)" = /usr/lib/quindle/quindle ] || x11_fail "/usr/bin/quindle does not lead to /usr/lib/quindle/quindle"
file -L /usr/bin/quindle | grep -q ', stripped' || x11_fail "the installed program is not stripped"
x11_pass "installed: /usr/bin/quindle -> /usr/lib/quindle/quindle"

desktop-file-validate /usr/share/applications/quindle.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.quindle.Quindle.metainfo.xml
x11_pass "desktop entry and AppStream metadata validate"

# Started through the bin/ link, the program must still find the word list beside its real file.
x11_start
x11_launch "$x11_work/quindle.log" /usr/bin/quindle
app_pid=$x11_last_pid
wid=$(x11_expect_start "Quindle - https://quindle.org" "Error!" 15)
import -window "$wid" "$build/quindle-installed.png"
x11_stop "$app_pid"
x11_pass "installed program opens its window without an error; screenshot $build/quindle-installed.png"

apt_get remove quindle
if [ -e /usr/bin/quindle ] || [ -e /usr/lib/quindle ]; then
    x11_fail "files are left after apt-get remove"
fi
x11_pass "apt-get remove leaves nothing behind"

echo "package: $x11_passed passed, 0 failed"
