# Sourced by the Windows scripts: what they install, where they cache Qt, and the deb-src entry for it.
# shellcheck shell=bash disable=SC2034
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Cross compiler, the installer maker, and wine with a headless X server to run and drive the result.
QUINDLE_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix cmake ninja-build qt6-base-dev googletest nsis dpkg-dev
    wine wine64 fonts-wine xvfb xdotool xclip imagemagick)

# Where qt6-base-dev keeps the CMake files of the host tools (moc, uic, rcc) that the cross build runs.
host_qt_cmake_dir() {
    echo "/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake"
}

# Qt for Windows takes long to build, so it lives in a build cache outside the source tree:
# QUINDLE_WINDOWS_CACHE, else the user's cache folder; root, as in CI, uses /var/cache.
windows_cache_base() {
    if [ -n "${QUINDLE_WINDOWS_CACHE:-}" ]; then
        echo "$QUINDLE_WINDOWS_CACHE"
    elif [ "$(id -u)" -eq 0 ]; then
        echo /var/cache/quindle-windows
    else
        echo "${XDG_CACHE_HOME:-$HOME/.cache}/quindle-windows"
    fi
}

# One Qt per Debian release: it is built from that release's source with that release's host tools.
windows_cache() {
    echo "$(windows_cache_base)/$(. /etc/os-release && echo "$VERSION_CODENAME")"
}

# deb_src_entries CODENAME: the machine's own apt entries for CODENAME, as deb-src entries.
deb_src_entries() {
    local codename=$1 file
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        # One stanza per blank-line-separated record; keep those whose Suites name the release itself.
        awk -v codename="$codename" 'BEGIN { RS = ""; ORS = "\n\n" }
            {
                n = split($0, lines, "\n"); keep = 0; out = ""
                for (i = 1; i <= n; i++) {
                    if (lines[i] ~ /^Suites:/ && (" " lines[i] " ") ~ (" " codename " ")) keep = 1
                    if (lines[i] ~ /^Types:/) lines[i] = "Types: deb-src"
                    if (lines[i] !~ /^#/) out = out lines[i] "\n"
                }
                if (keep) printf "%s\n", out
            }' "$file"
    done
    grep -hs "^deb \(\[[^]]*\] \)\?[^ ]\+ $codename " /etc/apt/sources.list /etc/apt/sources.list.d/*.list |
        sed 's/^deb /deb-src /' || true
}
