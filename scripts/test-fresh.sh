#!/usr/bin/env bash
# Proves the README's two commands on a fresh machine: makes a minimal Debian root of SUITE (default: this
# machine's release) in build-fresh/root-SUITE, puts a clean clone of HEAD in it and runs there, exactly as
# written, scripts/run.sh (without a display it must build build/quindle, install nothing for the tests and
# say that no display was found) and then scripts/test.sh. Removes the root afterwards, also on failure or
# interrupt. The Debian package that scripts/test.sh built there is kept in build-fresh/package-SUITE/.
# windows instead builds the Windows installer and tests it under wine there (scripts/build-windows.sh,
# scripts/test-windows.sh), with this machine's Qt-for-Windows cache bound in so that only the first run
# builds Qt. installed instead installs with apt the package kept from a test run on Debian FROM and runs
# the end-to-end suite against the installed program (tests/e2e/quindle_installed.sh): one package for
# both releases.
# Usage: scripts/test-fresh.sh [run|test|both|windows] [SUITE]   (default: both, this machine's release)
#        scripts/test-fresh.sh installed SUITE FROM
source "$(dirname "$0")/lib.sh"
source "$QUINDLE_ROOT/scripts/root.sh"
root_require_root "$@"

what=${1:-both}
suite=${2:-$(root_host_suite)}
case "$what" in
run | test | both | windows) ;;
installed)
    [ $# -eq 3 ] || { echo "usage: $0 installed SUITE FROM" >&2; exit 64; }
    ;;
*)
    echo "usage: $0 [run|test|both|windows] [SUITE]" >&2
    exit 64
    ;;
esac

ensure_packages mmdebstrap git
fresh="$QUINDLE_ROOT/build-fresh"
root="$fresh/root-$suite"
mkdir -p "$fresh"
if [ "$what" = installed ]; then
    debs=("$fresh/package-$3"/quindle_*.deb)
    [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] ||
        { echo "FAIL: no single package from Debian $3 in $fresh/package-$3/: run $0 test $3 first"; exit 1; }
fi
exec 9>"$fresh/lock"
flock 9
trap 'root_remove "$root"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

root_make "$root" "$suite"
head=$(git -C "$QUINDLE_ROOT" rev-parse HEAD)
git clone -q --no-checkout "$QUINDLE_ROOT" "$root/root/quindle"
git -C "$root/root/quindle" checkout -q --detach "$head"
echo "Fresh Debian $suite root $root with a clone of $head"

# in_root COMMAND: runs the README command COMMAND from the clone's top folder inside the root.
in_root() {
    root_run "$root" /bin/bash -c 'cd /root/quindle && exec "$0"' "$1"
}

if [ "$what" = installed ]; then
    cp "${debs[0]}" "$root/root/"
    echo "fresh $suite root: the package built on Debian $3, ${debs[0]##*/}, installed and tested"
    # Nothing is printed after it, so the output ends with its summary line.
    root_run "$root" /bin/bash /root/quindle/tests/e2e/quindle_installed.sh "/root/${debs[0]##*/}"
    exit
fi

if [ "$what" = windows ]; then
    source "$QUINDLE_ROOT/scripts/windows-lib.sh"
    cache=$(windows_cache_base)
    mkdir -p "$cache"
    root_binds=("$cache")
    echo "fresh $suite root: scripts/build-windows.sh and scripts/test-windows.sh"
    in_root scripts/build-windows.sh
    # Nothing is printed after it, so the output ends with its summary line.
    in_root scripts/test-windows.sh
    exit
fi

if [ "$what" != test ]; then
    start=$SECONDS
    status=0
    # Into a file, not through a pipe: the shell holds a signal's trap until a pipeline ends.
    in_root scripts/run.sh >"$fresh/run-$suite.log" 2>&1 || status=$?
    cat "$fresh/run-$suite.log"
    [ "$status" -eq 2 ] || { echo "FAIL: scripts/run.sh exited with $status, not 2 (built, no display)"; exit 1; }
    grep -q 'no display was found' "$fresh/run-$suite.log" || { echo "FAIL: scripts/run.sh did not say that no display was found"; exit 1; }
    [ -x "$root/root/quindle/build/quindle" ] || { echo "FAIL: scripts/run.sh did not build build/quindle"; exit 1; }
    # The program alone: nothing that only the tests need.
    if root_run "$root" dpkg-query -W "${QUINDLE_TEST_PACKAGES[@]}" >/dev/null 2>&1; then
        echo "FAIL: scripts/run.sh installed a test library"
        exit 1
    fi
    echo "fresh $suite root: scripts/run.sh built build/quindle and found no display in $((SECONDS - start)) s"
fi

if [ "$what" != run ]; then
    echo "fresh $suite root: scripts/test.sh"
    # The package of an earlier run must not pass for this one's.
    rm -rf "$fresh/package-$suite"
    # Nothing is printed after it, so the output ends with its summary line.
    in_root scripts/test.sh
    # Kept for `installed` runs on other releases.
    mkdir "$fresh/package-$suite"
    cp "$root"/root/quindle/build-pkg/quindle_*.deb "$fresh/package-$suite/"
fi
