# Sourced: throwaway minimal Debian 12 roots made with debootstrap, commands run inside them, removal.
# shellcheck shell=bash

QUINDLE_ROOT_SUITE=bookworm

# root_require_root "$@": making and entering a root takes mount, chroot and device files, so a script
# that does it starts itself again through sudo when a user runs it.
root_require_root() {
    [ "$(id -u)" -eq 0 ] ||
        exec sudo --preserve-env=CI,CMAKE_BUILD_PARALLEL_LEVEL,CTEST_PARALLEL_LEVEL,QUINDLE_FUZZ_SECONDS "$0" "$@"
}

# The host's own Debian archive (not its security one), so a root fetches from the same place.
root_mirror() {
    local uri
    uri=$(grep -hs '^URIs:' /etc/apt/sources.list.d/*.sources | awk '{print $2}' | grep -v security | head -n 1 || true)
    if [ -z "$uri" ]; then
        uri=$(grep -hs '^deb ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list |
            sed -E 's/^deb +(\[[^]]*\] +)?([^ ]+).*/\2/' | grep -v security | head -n 1 || true)
    fi
    echo "${uri:-http://deb.debian.org/debian}"
}

# root_make DIR CACHE: a fresh root in DIR. The first run keeps the debootstrapped base as the tar file
# CACHE; later runs unpack that instead of downloading it again.
root_make() {
    local dir=$1 cache=$2
    root_remove "$dir"
    mkdir -p "$dir"
    if [ -f "$cache" ]; then
        tar -xpf "$cache" --numeric-owner -C "$dir"
    else
        echo "Making a minimal Debian $QUINDLE_ROOT_SUITE root in $dir"
        # Its own mount namespace: what it mounts inside DIR goes away even if it is killed.
        unshare --mount --propagation private -- debootstrap --variant=minbase "$QUINDLE_ROOT_SUITE" "$dir" "$(root_mirror)" >"$dir.debootstrap.log" 2>&1 || {
            tail -n 20 "$dir.debootstrap.log" >&2
            return 1
        }
        rm -f "$dir.debootstrap.log"
        tar -cf "$cache.part" --numeric-owner -C "$dir" . && mv "$cache.part" "$cache"
    fi
    # apt inside uses the host's archives and settings; daemons that packages bring are not started.
    local item
    rm -f "$dir/etc/apt/sources.list"
    for item in sources.list sources.list.d apt.conf.d preferences.d trusted.gpg.d keyrings; do
        [ -e "/etc/apt/$item" ] && cp -a "/etc/apt/$item" "$dir/etc/apt/"
    done
    cp -L /etc/resolv.conf "$dir/etc/resolv.conf"
    printf '#!/bin/sh\nexit 101\n' >"$dir/usr/sbin/policy-rc.d"
    chmod 755 "$dir/usr/sbin/policy-rc.d"
}

# root_run DIR COMMAND...: runs COMMAND as root inside DIR with a clean environment. /proc and /dev are
# mounted in a mount namespace of its own, so they vanish with its last process whatever happens and
# never show in DIR from outside. DIR is bound onto itself so that a root made inside it can do the same.
root_run() {
    local dir=$1 name
    shift
    local env=(PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8
        TERM="${TERM:-dumb}")
    for name in CI CMAKE_BUILD_PARALLEL_LEVEL CTEST_PARALLEL_LEVEL QUINDLE_FUZZ_SECONDS; do
        [ -n "${!name:-}" ] && env+=("$name=${!name}")
    done
    unshare --mount --propagation private -- /bin/sh -c '
        dir=$1
        shift
        mount --bind "$dir" "$dir" && mount -t proc proc "$dir/proc" && mount --rbind /dev "$dir/dev" &&
            exec chroot "$dir" "$@"' sh "$dir" /usr/bin/env -i "${env[@]}" "$@" &
    # A trapped signal ends `wait` at once (it would wait for a foreground command, and apt defers
    # Ctrl-C), so the caller's trap can remove the root straight away.
    wait $!
}

# root_remove DIR: ends whatever still runs inside DIR or a root made within it, then deletes it.
root_remove() {
    local dir link pid proc_root
    dir=$(realpath -m "$1")
    [ -e "$dir" ] || return 0
    for link in /proc/[0-9]*/root; do
        proc_root=$(readlink "$link" 2>/dev/null) || continue
        if [ "$proc_root" = "$dir" ] || [[ "$proc_root" == "$dir"/* ]]; then
            pid=${link#/proc/}
            kill -KILL "${pid%/root}" 2>/dev/null || true
        fi
    done
    rm -rf --one-file-system "$dir" "$dir.debootstrap.log"
}
