#!/usr/bin/env bash
# Builds Qt 6 base for Windows (MinGW-w64) from Debian's own source package, once, into a build cache:
# scripts/build-windows-qt.sh prints the Qt prefix. Later runs find it there and build nothing.
source "$(dirname "$0")/windows-lib.sh"

# Only the prefix goes to the standard output.
ensure_packages "${QUINDLE_WINDOWS_PACKAGES[@]}" >&2
cache=$(windows_cache)
prefix="$cache/qt6-mingw"
if [ -f "$prefix/lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake" ] &&
    [ -f "$prefix/plugins/platforms/qwindows.dll" ]; then
    echo "$prefix"
    exit 0
fi
mkdir -p "$cache"

# apt-get source needs deb-src entries. They are copied from the machine's own Debian entries into an apt
# setup of the cache's own, so the machine's apt configuration stays as it was.
src="$cache/qt6-base-source"
if [ ! -f "$src/.unpacked" ]; then
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    entries=$(deb_src_entries "$codename")
    [ -n "$entries" ] || { echo "No Debian $codename entry in the apt sources to copy" >&2; exit 1; }
    apt_dir="$cache/apt"
    rm -rf "$apt_dir" && mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache"
    grep '^deb-src ' <<<"$entries" >"$apt_dir/sources.list.d/deb-src.list" || true
    grep -v '^deb-src ' <<<"$entries" >"$apt_dir/sources.list.d/deb-src.sources" || true
    apt_own=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$apt_dir/sources.list.d"
        -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache" -o APT::Sandbox::User=root)
    apt-get "${apt_own[@]}" update -qq >&2
    rm -rf "$src" && mkdir -p "$src"
    (cd "$src" && apt-get "${apt_own[@]}" source -qq qt6-base >&2)
    rm -rf "$apt_dir"
    touch "$src/.unpacked"
fi
qtsrc=$(find "$src" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
# Qt 6.4.2's windows plugin uses dynamic OpenGL whenever that feature is on, even with OpenGL itself off.
sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
    "$qtsrc/src/plugins/platforms/windows/qwindowswindow.cpp"

# Only what the program and its window tests use. FreeType is for the offscreen platform the window
# tests run on; Windows shapes text itself, so no HarfBuzz. Debian's source has no wintab, so no tablet
# events. Host tools (moc, uic, rcc) come from qt6-base-dev. Qt builds Release unless told it is a
# developer build.
build="$cache/qt6-mingw-build"
cmake -S "$qtsrc" -B "$build" -G Ninja -Wno-dev >&2 \
    -DCMAKE_TOOLCHAIN_FILE="$QUINDLE_ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_CROSSCOMPILING_EMULATOR= \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$(host_qt_cmake_dir)" \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_tabletevent=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF \
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
    -DFEATURE_vulkan=OFF -DFEATURE_icu=OFF -DFEATURE_zstd=OFF \
    -DFEATURE_freetype=ON -DFEATURE_harfbuzz=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF \
    -DFEATURE_testlib=ON -DFEATURE_widgets=ON -DFEATURE_gui=ON
CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2} cmake --build "$build" >&2
cmake --install "$build" >&2
# Only the installed Qt is kept: the source and the build take ten times its space.
rm -rf "$build" "$src"
echo "$prefix"
