# Sourced by the end-to-end scripts: a private headless sway, the wlroots compositor that offers the
# virtual-keyboard protocol wtype types through and the data-control one wl-copy and wl-paste use. The
# caller ends it with wayland_stop (x11_cleanup removes the folder it lives in).
# shellcheck shell=bash disable=SC2034

# The compositor, keys, the clipboard, screenshots and Qt's Wayland plugin.
QUINDLE_WAYLAND_PACKAGES=(sway wtype wl-clipboard grim qt6-wayland)

wayland_pid=
wayland_display=
wayland_swaysock=

# wayland_start FOLDER SCALE: starts sway in FOLDER (made here) with one headless output of 1024x768
# logical pixels at SCALE. A client reaches it with WAYLAND_DISPLAY=$wayland_display, swaymsg with
# SWAYSOCK=$wayland_swaysock. As root sway refuses to start, so there it runs as nobody, a user that owns
# nothing else, with a runtime folder made for it.
wayland_start() {
    local folder=$1 scale=$2 size=$((1024 * $2))x$((768 * $2)) as=() deadline
    mkdir -p "$folder/runtime" "$folder/home"
    chmod 700 "$folder/runtime"
    # No wallpaper, bar, notices or Xwayland: the program can only be a Wayland client, and sway starts
    # no process of its own for the suite to end.
    cat >"$folder/config" <<EOF
output HEADLESS-1 mode ${size} position 0 0 scale $scale
xwayland disable
swaynag_command -
default_border normal
EOF
    if [ "$(id -u)" -eq 0 ]; then
        chown -R 65534:65534 "$folder/runtime" "$folder/home"
        # Nobody passes through the suite's folder (FOLDER sits right in it) and reads nothing else there.
        chmod go+x "$folder" "$(dirname "$folder")"
        chmod a+r "$folder/config"
        as=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    fi
    env -i PATH="$PATH" HOME="$folder/home" XDG_RUNTIME_DIR="$folder/runtime" WLR_BACKENDS=headless \
        WLR_HEADLESS_OUTPUTS=1 WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        "${as[@]}" sway -c "$folder/config" >"$folder/sway.log" 2>&1 &
    wayland_pid=$!
    deadline=$((SECONDS + 20))
    until [ -S "$folder/runtime/wayland-1" ] && compgen -G "$folder/runtime/sway-ipc.*.sock" >/dev/null; do
        kill -0 "$wayland_pid" 2>/dev/null || { tail -n 20 "$folder/sway.log" >&2; return 1; }
        [ "$SECONDS" -lt "$deadline" ] || { tail -n 20 "$folder/sway.log" >&2; return 1; }
        sleep 0.1
    done
    # An absolute path: the clients keep their own XDG_RUNTIME_DIR for the accessibility bus.
    wayland_display="$folder/runtime/wayland-1"
    wayland_swaysock=$(compgen -G "$folder/runtime/sway-ipc.*.sock" | head -n 1)
}

wayland_stop() {
    if [ -n "$wayland_pid" ]; then
        kill "$wayland_pid" 2>/dev/null || true
        wait "$wayland_pid" 2>/dev/null || true
    fi
    wayland_pid=
}
