#!/usr/bin/env bash
# Builds the Debian package in build-pkg/, checks its files, metadata and lintian's verdict, then installs,
# starts, upgrades, removes and purges it inside a throwaway Debian root (build-pkg/root), never on this
# machine itself.
source "$(dirname "$0")/lib.sh"
source "$QUINDLE_ROOT/scripts/root.sh"
root_require_root "$@"
source "$QUINDLE_ROOT/tests/e2e/x11.sh"

ensure_packages "${QUINDLE_RUN_PACKAGES[@]}" dpkg-dev file desktop-file-utils appstream lintian mmdebstrap

build="$QUINDLE_ROOT/build-pkg"
root="$build/root"
mkdir -p "$build"
# One run per checkout at a time: runs share the package and the root.
exec 9>"$build/lock"
flock 9

# Whatever this machine's dpkg knows about quindle must be the same after the test.
host_state() {
    dpkg-query -W -f='${Status}\n' quindle 2>/dev/null || true
    grep -c ' quindle[: ]' /var/log/dpkg.log 2>/dev/null || true
}
host_before=$(host_state)
trap 'root_remove "$root"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

cd "$QUINDLE_ROOT"
cmake --preset package
cmake --build --preset package --parallel "${CMAKE_BUILD_PARALLEL_LEVEL:-2}"
rm -f "$build"/quindle_*.deb
cpack --preset package
debs=("$build"/quindle_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    x11_fail "cpack made no single quindle_*.deb"
fi
deb=${debs[0]}

# Exactly these files: the program's private folder, the launcher link, the word list in /etc, the
# desktop files and Debian's documents.
expected="./etc/quindle/wordlist.txt
./usr/bin/quindle -> ../lib/quindle/quindle
./usr/lib/quindle/quindle
./usr/lib/quindle/wordlist.txt -> /etc/quindle/wordlist.txt
./usr/share/applications/quindle.desktop
./usr/share/doc/quindle/changelog.gz
./usr/share/doc/quindle/copyright
./usr/share/icons/hicolor/16x16/apps/quindle.png
./usr/share/icons/hicolor/32x32/apps/quindle.png
./usr/share/icons/hicolor/48x48/apps/quindle.png
./usr/share/icons/hicolor/scalable/apps/quindle.svg
./usr/share/man/man1/quindle.1.gz
./usr/share/metainfo/org.quindle.Quindle.metainfo.xml"
actual=$(dpkg-deb -c "$deb" | grep -v '^d' | sed -E 's/^([^ ]+ +){5}//' | sort)
[ "$actual" = "$expected" ] || x11_fail "package contents differ:
$(diff <(echo "$expected") <(echo "$actual") || true)"
x11_pass "package holds exactly the expected files"

[ "$(dpkg-deb -I "$deb" conffiles)" = /etc/quindle/wordlist.txt ] ||
    x11_fail "conffiles is not just /etc/quindle/wordlist.txt: $(dpkg-deb -I "$deb" conffiles || true)"
x11_pass "the word list is the package's one conffile"

depends=$(dpkg-deb -f "$deb" Depends)
[[ "$depends" == *fonts-wine* ]] || x11_fail "Depends lacks fonts-wine: $depends"
# dpkg-shlibdeps ran if the Qt libraries the program links are there.
[[ "$depends" == *libqt6widgets6* ]] || x11_fail "Depends lacks the Qt libraries: $depends"
x11_pass "Depends: $depends"

recommends=$(dpkg-deb -f "$deb" Recommends)
[ "$recommends" = qt6-wayland ] || x11_fail "Recommends is not Qt's Wayland plugin alone: $recommends"
x11_pass "Recommends: $recommends"

# lintian only reads the file; it warns about running as root, which says nothing about the package.
lintian_out=$(lintian --display-info "$deb" 2>&1 | grep -v '^running with root privileges' || true)
[ -z "$lintian_out" ] || sed "s/^/  lintian: /" <<<"$lintian_out"
if grep -qE '^[EW]: ' <<<"$lintian_out"; then
    x11_fail "lintian reports errors or warnings"
fi
x11_pass "lintian: no error or warning"

contents="$build/contents"
rm -rf "$contents"
dpkg-deb -x "$deb" "$contents"
file "$contents/usr/lib/quindle/quindle" | grep -q ', stripped' || x11_fail "the packaged program is not stripped"
desktop-file-validate "$contents/usr/share/applications/quindle.desktop"
appstreamcli validate --no-net "$contents/usr/share/metainfo/org.quindle.Quindle.metainfo.xml" >/dev/null
rm -rf "$contents"
x11_pass "program stripped; desktop entry and AppStream metadata validate"

# A later version whose word list changed too: the upgrade must keep the user's edit and set the new
# list beside it.
next_dir="$build/next"
rm -rf "$next_dir"
dpkg-deb -R "$deb" "$next_dir"
echo "# added by the next version" >>"$next_dir/etc/quindle/wordlist.txt"
sed -i 's/^Version: .*/&+next1/' "$next_dir/DEBIAN/control"
(cd "$next_dir" && find etc usr -type f -exec md5sum {} + | sort -k 2 >DEBIAN/md5sums)
dpkg-deb -b --root-owner-group "$next_dir" "$build/next.deb" >/dev/null
rm -rf "$next_dir"

# The same Debian release as this machine: the package built here is tested where it was built for.
suite=$(root_host_suite)
root_make "$root" "$suite"
mkdir -p "$root/root/package-test"
cp "$deb" "$root/root/package-test/quindle.deb"
mv "$build/next.deb" "$root/root/package-test/quindle-next.deb"
cp "$QUINDLE_ROOT/tests/e2e/x11.sh" "$QUINDLE_ROOT/tests/e2e/quindle_package.sh" "$root/root/package-test/"
root_run "$root" /bin/bash /root/package-test/quindle_package.sh /root/package-test/quindle.deb \
    /root/package-test/quindle-next.deb
x11_passed=$((x11_passed + $(cat "$root/root/package-test/passed")))

[ "$(host_state)" = "$host_before" ] || x11_fail "this machine's dpkg installed or removed quindle"
x11_pass "this machine's packages and dpkg log are as they were"
echo "package: $x11_passed passed, 0 failed"
