# Sourced: throwaway minimal Debian roots made with mmdebstrap, commands run inside them, removal.
# shellcheck shell=bash

# The release of this machine, e.g. bookworm: roots are of it unless told otherwise.
root_host_suite() {
    (. /etc/os-release && echo "${VERSION_CODENAME:-}")
}

# The settings of this machine's environment that reach the commands run in a root.
root_passed_env=(CI CMAKE_BUILD_PARALLEL_LEVEL CTEST_PARALLEL_LEVEL QUINDLE_FUZZ_SECONDS QUINDLE_WINDOWS_CACHE)

# root_require_root "$@": making and entering a root takes mount, chroot and device files, so a script
# that does it starts itself again through sudo when a user runs it.
root_require_root() {
    [ "$(id -u)" -eq 0 ] || exec sudo --preserve-env="$(IFS=, && echo "${root_passed_env[*]}")" "$0" "$@"
}

# Each enabled Debian package source of this machine as "URI SUITE", one-line and deb822 files alike.
root_host_sources() {
    grep -hs '^[[:space:]]*deb[[:space:]]' /etc/apt/sources.list /etc/apt/sources.list.d/*.list |
        sed -E 's/^[[:space:]]*deb[[:space:]]+(\[[^]]*\][[:space:]]+)?([^[:space:]]+)[[:space:]]+([^[:space:]]+).*/\2 \3/' || true
    local files=(/etc/apt/sources.list.d/*.sources)
    [ -e "${files[0]}" ] || return 0
    awk 'function flush(   n, m, i, j, u, s) {
             if (deb && enabled) {
                 n = split(uris, u, " "); m = split(suites, s, " ")
                 for (i = 1; i <= n; i++) for (j = 1; j <= m; j++) print u[i], s[j]
             }
             deb = 0; enabled = 1; uris = ""; suites = ""
         }
         BEGIN { enabled = 1 }
         FNR == 1 || /^[[:space:]]*$/ { flush() }
         /^#/ { next }
         tolower($1) == "types:" { for (i = 2; i <= NF; i++) if ($i == "deb") deb = 1 }
         tolower($1) == "uris:" { $1 = ""; uris = $0 }
         tolower($1) == "suites:" { $1 = ""; suites = $0 }
         tolower($1) == "enabled:" { enabled = (tolower($2) != "no") }
         END { flush() }' "${files[@]}"
}

# root_sources SUITE: apt sources for a root of SUITE, from this machine's own Debian archive and, if
# it has one, its security archive; the same places, the root's own release. Fails when there is none.
root_sources() {
    local suite=$1 host sources mirror security
    host=$(root_host_suite)
    sources=$(root_host_sources)
    mirror=$(awk -v s="$host" '$2 == s { print $1; exit }' <<<"$sources")
    security=$(awk -v s="$host-security" '$2 == s { print $1; exit }' <<<"$sources")
    if [ -z "$mirror" ]; then
        echo "No Debian archive for ${host:-this release} in this machine's apt sources (/etc/apt/sources.list," \
            "/etc/apt/sources.list.d/): add one, the Debian roots are fetched from it." >&2
        return 1
    fi
    echo "deb $mirror $suite main"
    echo "deb $mirror $suite-updates main"
    [ -z "$security" ] || echo "deb $security $suite-security main"
}

# root_make DIR [SUITE]: a fresh minimal root of SUITE (default: this machine's release) in DIR, made by
# mmdebstrap, which mounts what it needs only while it works and unmounts it also when it fails.
root_make() {
    local dir=$1 suite=${2:-$(root_host_suite)} sources conf aptopts=()
    [ -n "$suite" ] || { echo "No Debian release named in /etc/os-release (VERSION_CODENAME)" >&2; return 1; }
    # Before anything is made: with no archive to fetch from there is nothing to do.
    sources=$(root_sources "$suite") || return 1
    root_remove "$dir"
    # apt, while the root is made and inside it later, fetches with the host's own settings (a proxy,
    # say), not those the host's packages bring: a package of the root's release would find its own file
    # changed and stop to ask.
    for conf in /etc/apt/apt.conf.d/*; do
        if [ -f "$conf" ] && ! dpkg-query -S "$conf" >/dev/null 2>&1; then
            aptopts+=("--aptopt=$conf")
        fi
    done
    echo "Making a minimal Debian $suite root in $dir"
    mmdebstrap --variant=minbase "${aptopts[@]}" "$suite" "$dir" - <<<"$sources" >"$dir.mmdebstrap.log" 2>&1 || {
        tail -n 20 "$dir.mmdebstrap.log" >&2
        return 1
    }
    rm -f "$dir.mmdebstrap.log"
    # Name lookups for apt inside; daemons that packages bring are not started.
    cp -L /etc/resolv.conf "$dir/etc/resolv.conf"
    printf '#!/bin/sh\nexit 101\n' >"$dir/usr/sbin/policy-rc.d"
    chmod 755 "$dir/usr/sbin/policy-rc.d"
}
# Folders of this machine that root_run shows at the same path inside the root, such as a build cache
# that outlives the root. Paths without spaces.
root_binds=()

# root_run DIR COMMAND...: runs COMMAND as root inside DIR with a clean environment. /proc, /dev and the
# root_binds are mounted in a mount namespace of its own, so they vanish with its last process whatever
# happens and never show in DIR from outside (removing DIR cannot reach into them). DIR is bound onto
# itself so that a root made inside it can do the same.
root_run() {
    local dir=$1 name
    shift
    local env=(PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8
        TERM="${TERM:-dumb}")
    for name in "${root_passed_env[@]}"; do
        [ -n "${!name:-}" ] && env+=("$name=${!name}")
    done
    unshare --mount --propagation private -- /bin/sh -c '
        dir=$1 binds=$2
        shift 2
        mount --bind "$dir" "$dir" && mount -t proc proc "$dir/proc" && mount --rbind /dev "$dir/dev" || exit 1
        for bind in $binds; do
            mkdir -p "$dir$bind" && mount --bind "$bind" "$dir$bind" || exit 1
        done
        exec chroot "$dir" "$@"' sh "$dir" "${root_binds[*]}" /usr/bin/env -i "${env[@]}" "$@" &
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
    rm -rf --one-file-system "$dir" "$dir.mmdebstrap.log"
}
