#!/usr/bin/env bash
# Tests the Windows build under wine in a private Xvfb and a throwaway wine prefix: the test suites, then
# the installer, the installed program and its uninstaller, in build-windows/ as scripts/build-windows.sh
# left it. The screenshot is kept there.
source "$(dirname "$0")/windows-lib.sh"
source "$QUINDLE_ROOT/tests/e2e/x11.sh"

ensure_packages "${QUINDLE_WINDOWS_PACKAGES[@]}"
build="$QUINDLE_ROOT/build-windows"
installer=$(find "$build" -maxdepth 1 -name 'Quindle-*-win64.exe' | head -n 1)
[ -n "$installer" ] || { echo "No installer in $build: run scripts/build-windows.sh first" >&2; exit 1; }
qt=$(windows_cache)/qt6-mingw

passed=0
failed=0
check() {
    local name=$1
    shift
    if "$@"; then
        echo "ok: $name"
        passed=$((passed + 1))
    else
        echo "FAIL: $name" >&2
        failed=$((failed + 1))
    fi
}

trap 'wineserver -k 2>/dev/null || true; x11_cleanup' EXIT
x11_start
# x11_start picks xcb for the Linux program; the Windows one chooses its own platform.
unset QT_QPA_PLATFORM
export WINEPREFIX="$x11_work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot --init >"$x11_work/wineboot.log" 2>&1
wineserver --wait
# Windows comes with Tahoma. Debian's wine has its copy (fonts-wine) but puts no font into a new prefix,
# so without this the program would be drawn in whatever font wine falls back to.
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"

# --- The test suites, with Qt's DLLs and plugins from the cache. The window tests draw offscreen, where
# Qt reads fonts from one folder: wine's, which has a Tahoma. SUITES is a ctest -R or -E pattern.
suites() {
    local log="$x11_work/ctest$1.log" status
    # Wine passes WINEQT_ variables to the program as QT_ ones, and no QT_ variable at all.
    (cd "$QUINDLE_ROOT" && WINEPATH="$(winepath -w "$qt/bin")" WINEQT_PLUGIN_PATH="$(winepath -w "$qt/plugins")" \
        WINEQT_QPA_FONTDIR="$(winepath -w /usr/share/wine/fonts)" \
        ctest --preset windows "$1" '^tst_' --timeout 300 --parallel 2) >"$log" 2>&1
    status=$?
    grep -E 'tests passed|tests failed|\*\*\*Failed|Timeout' "$log"
    # The log goes with the prefix's folder, so a failure shows its end here.
    [ "$status" -eq 0 ] || tail -n 80 "$log" >&2
    return $status
}
check "core suite, seed replays and layer checks under wine" suites -E
grep -aoE '\[  PASSED  \] [0-9]+ tests' "$build/Testing/Temporary/LastTest.log" | head -n 1 || true
check "window suites under wine (offscreen)" suites -R

# --- Silent install into the prefix.
installed="$WINEPREFIX/drive_c/Program Files/Quindle"
install_silently() {
    wine "$installer" /S >"$x11_work/install.log" 2>&1 && wineserver --wait &&
        [ -f "$installed/quindle.exe" ] && [ -f "$installed/wordlist.txt" ] &&
        [ -f "$installed/platforms/qwindows.dll" ] && [ -f "$installed/Qt6Widgets.dll" ] &&
        find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name 'Quindle.lnk' | grep -q .
}
check "silent install: program, word list, Qt, platform plugin, Start-menu entry" install_silently

# --- The installed program opens its window on the windows platform; AutoRot finds level 13.
main_title="Quindle - https://quindle.org"
wid=
start_program() {
    # The windows plugin: the only one installed, and the one that makes an X window through wine.
    (cd "$installed" && wine ./quindle.exe) >"$x11_work/quindle.log" 2>&1 &
    x11_pids+=($!)
    x11_wait 60 x11_window "$main_title" >/dev/null || return 1
    wid=$(x11_window "$main_title")
    sleep 2
    import -window root "$build/wine-screenshot.png"
}
check "installed program shows its window on the windows platform" start_program

# Wine draws the frame inside the X window: borders of equal width, the caption on top.
click() {
    # shellcheck disable=SC2034 # set by getwindowgeometry --shell
    local WINDOW WIDTH HEIGHT X Y SCREEN border caption
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    border=$(((WIDTH - 480) / 2))
    caption=$((HEIGHT - 312 - 2 * border))
    xdotool mousemove --sync --window "$wid" $((border + $1)) $((border + caption + $2)) click 1
}
clipboard_has() { timeout 5 xclip -selection clipboard -o 2>/dev/null | grep -q "$1"; }
autorot() {
    [ -n "$wid" ] || return 1
    click 240 92
    xdotool type --delay 30 "Uryyb Jbeyq"
    click 424 288
    x11_wait 20 x11_window "Success!" >/dev/null || return 1
    # A Windows message box copies its text with Ctrl+C.
    xdotool windowfocus --sync "$(x11_window "Success!")" key ctrl+c
    x11_wait 10 clipboard_has "ROT level 13\." || return 1
    xdotool key Return
}
check "AutoRot on \"Uryyb Jbeyq\" reports level 13" autorot
for pid in "${x11_pids[@]}"; do x11_stop "$pid"; done
x11_pids=()
wineserver -k 2>/dev/null || true

# --- The uninstaller removes the program and its Start-menu entry.
uninstall() {
    wine "$installed/Uninstall.exe" /S >"$x11_work/uninstall.log" 2>&1 && wineserver --wait
    # The uninstaller copies itself away and returns at once; the files go soon after.
    x11_wait 30 test ! -e "$installed/quindle.exe" &&
        ! find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name 'Quindle.lnk' | grep -q .
}
check "uninstaller removes it" uninstall

echo "windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
