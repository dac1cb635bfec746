# Shared by tools/run.sh and tools/test.sh: packages, builds, the Wine prefix, Xvfb and wineserver.
# Sourced, not run. Every process started here is ended by its own id in corvane_cleanup.

CORVANE_TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
CORVANE_BUILD="$CORVANE_TOP/build"
export WINEPREFIX="$CORVANE_BUILD/wineprefix"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
CORVANE_PIDS=()

corvane_log() { printf '== %s\n' "$*" >&2; }

corvane_install_packages() {
    local wanted=(locales cmake make g++ python3 googletest libgtest-dev g++-mingw-w64-i686 wine wine32:i386 xvfb xauth
                  fonts-wqy-microhei fonts-wine clang libclang-rt-14-dev imagemagick)
    local missing=()
    local p
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    corvane_log "installing ${missing[*]}"
    if [ "$(id -u)" != 0 ]; then
        echo "these packages are missing and installing them needs root: ${missing[*]}" >&2
        return 1
    fi
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Wine maps file names and its ANSI code page from the Unix locale: it must exist.
corvane_generate_locale() {
    locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$' && return 0
    [ "$(id -u)" = 0 ] || return 0
    corvane_log "generating the zh_CN.UTF-8 locale"
    sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
}

corvane_build_windows() {
    cmake -S "$CORVANE_TOP" -B "$CORVANE_BUILD/win32" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$CORVANE_TOP/cmake/toolchain-i686-mingw.cmake" >/dev/null
    cmake --build "$CORVANE_BUILD/win32" -j"$(nproc)" "$@"
}

corvane_build_native() {
    cmake -S "$CORVANE_TOP" -B "$CORVANE_BUILD/native" -DCMAKE_BUILD_TYPE=Debug \
        -DCORVANE_RESOURCE_DIR="$CORVANE_BUILD/resources" >/dev/null
    cmake --build "$CORVANE_BUILD/native" -j"$(nproc)" "$@"
}

# Runs a command under Wine with the Chinese locale (code page 936, CJK fallback fonts).
corvane_wine() { env LC_ALL=zh_CN.UTF-8 wine "$@"; }

corvane_prepare_prefix() {
    if [ ! -f "$WINEPREFIX/.corvane-ready" ]; then
        corvane_log "creating the Wine prefix in $WINEPREFIX"
        rm -rf "$WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1
        wineserver -w
        env LC_ALL=zh_CN.UTF-8 wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d '' /f >/dev/null 2>&1
        local marlett
        marlett=$(find /usr/share/fonts /usr/share/wine -name 'marlett.ttf' 2>/dev/null | head -n 1)
        [ -n "$marlett" ] && cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/"
        wineserver -w
        touch "$WINEPREFIX/.corvane-ready"
    fi
}

# A virtual desktop gives windows a caption bar on an X server without a window manager.
corvane_use_virtual_desktop() {
    if [ "$1" = on ]; then
        corvane_wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
        corvane_wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
    else
        corvane_wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1 || true
    fi
}

corvane_start_xvfb() {
    local n
    for n in $(seq 91 140); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        CORVANE_PIDS+=("$!")
        local i
        for i in $(seq 1 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && break
            sleep 0.1
        done
        export DISPLAY=":$n"
        return 0
    done
    echo "no free X display found" >&2
    return 1
}

corvane_start_wineserver() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -p -f >/dev/null 2>&1 &
    CORVANE_PIDS+=("$!")
    sleep 0.3
}

corvane_cleanup() {
    local pid
    for pid in "${CORVANE_PIDS[@]}"; do
        kill "$pid" >/dev/null 2>&1 || true
    done
    for pid in "${CORVANE_PIDS[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    CORVANE_PIDS=()
}
