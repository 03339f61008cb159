#!/usr/bin/env bash
# Drives the real program in a private X server: typing, To ROT, and both clipboard buttons.
# Usage: tests/e2e/quindle_e2e.sh PATH/TO/quindle   (its wordlist.txt must sit beside it)
set -euo pipefail
source "$(dirname "$0")/x11.sh"

[ $# -eq 1 ] || x11_fail "usage: $0 PATH/TO/quindle"
program=$(realpath "$1")
[ -x "$program" ] || x11_fail "$program is not an executable"
[ -f "$(dirname "$program")/wordlist.txt" ] || x11_fail "no wordlist.txt beside $program"

readonly main_title="Quindle - https://quindle.org"
readonly error_title="Error!"
trap x11_cleanup EXIT
x11_start

# Control centres in the window's client area at 96 dpi (480x312), scaled to the size the window has.
wid=
scale_num=1
scale_den=1
click() {
    xdotool mousemove --sync --window "$wid" $(($1 * scale_num / scale_den)) $(($2 * scale_num / scale_den))
    xdotool click 1
}
click_text_box() { click 240 92; }
click_to_rot() { click 424 216; }
click_copy() { click 212 236; }
click_paste() { click 212 268; }

clipboard() { timeout 5 xclip -selection clipboard -o 2>/dev/null; }
clipboard_is() { [ "$(clipboard)" = "$1" ]; }
expect_clipboard() {
    x11_wait 5 clipboard_is "$1" || x11_fail "$2: clipboard holds \"$(clipboard || true)\", expected \"$1\""
}

# --- A missing word list is reported before the window opens.
lonely="$x11_work/lonely"
mkdir "$lonely"
cp "$program" "$lonely/quindle"
x11_launch "$x11_work/lonely.log" "$lonely/quindle"
lonely_pid=$x11_last_pid
x11_expect_start "$error_title" "$main_title" 15 >/dev/null
x11_stop "$lonely_pid"
x11_pass "missing word list: \"$error_title\" shows before the window"

# --- With the word list beside it the window opens without complaint.
x11_launch "$x11_work/quindle.log" "$program"
app_pid=$x11_last_pid
wid=$(x11_expect_start "$main_title" "$error_title" 15)
eval "$(xdotool getwindowgeometry --shell "$wid")"
# Only the proportions are fixed; a display with another dpi scales the whole window.
[ $((WIDTH * 312)) -eq $((HEIGHT * 480)) ] || x11_fail "window is ${WIDTH}x${HEIGHT}, not 480x312 or a multiple"
scale_num=$WIDTH
scale_den=480
xdotool windowfocus --sync "$wid"
x11_pass "word list found: window opens at ${WIDTH}x${HEIGHT}"

# --- Typed text goes To ROT, and Copy to.. puts the selection on the clipboard.
click_text_box
xdotool type --delay 30 "Hello World"
click_to_rot
click_text_box
xdotool key ctrl+a
click_copy
expect_clipboard "Uryyb Jbeyq" "typed, To ROT, Copy"
x11_pass "typed text ciphered and copied"

# --- Paste from.. with nothing selected inserts the clipboard at the cursor. Non-ASCII text checks
# that neither direction loses the encoding.
pasted=" Grüße, 1€"
printf '%s' "$pasted" | xclip -quiet -selection clipboard -i >/dev/null 2>&1 &
x11_pids+=($!)
expect_clipboard "$pasted" "serving the clipboard from outside"
click_text_box
xdotool key ctrl+End
click_paste
click_text_box
xdotool key ctrl+a
click_copy
expect_clipboard "Uryyb Jbeyq$pasted" "Paste at the end, Copy"
x11_pass "clipboard text pasted at the cursor"

# --- Editing leaves the line breaks it does not touch as they were: two lines joined with Delete and an
# Enter elsewhere keep the CR LF between the others.
printf '\r\na\naaa' | xclip -quiet -selection clipboard -i >/dev/null 2>&1 &
x11_pids+=($!)
expect_clipboard $'\r\na\naaa' "serving mixed line breaks from outside"
click_text_box
xdotool key ctrl+a
click_paste
click_text_box
xdotool key ctrl+Home Down End Delete ctrl+Home Return k ctrl+a
click_copy
expect_clipboard $'\nk\r\naaaa' "lines joined, Enter typed, Copy"
x11_pass "untouched line breaks kept through a join and an Enter"

x11_stop "$app_pid"
echo "e2e: $x11_passed passed, 0 failed"
