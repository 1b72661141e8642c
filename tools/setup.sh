# Shared by ./run, ./test and tools/fuzz: installs what a fresh Debian 12 machine lacks,
# configures and builds. Source it; then call `trackoro_build <build dir> [cmake options]`.

TRACKORO_PACKAGES=(
    qt6-base-dev qt6-multimedia-dev qt6-httpserver-dev qt6-websockets-dev
    # Qt's own texts (standard buttons, context menus, Qt's dialogs) in Chinese: its zh_CN
    # translation, built into the program on both systems.
    qt6-translations-l10n
    gstreamer1.0-plugins-good cmake g++ make
    # ./test checks the layout of the sources.
    clang-format git
    # Tests of what the user hears: a real audio server, recorded.
    pulseaudio pulseaudio-utils
    # Tests: Chinese text measured in a real Chinese font, and a real X server for keyboard,
    # focus and tool tips.
    fonts-droid-fallback xvfb xauth
    # Tests of the install: the menu entry and the AppStream metadata validated.
    desktop-file-utils appstream
    # Tests of the desktop notifications: a session bus of their own and a real notification
    # server on it.
    dbus dunst
    # Tests of what a screen reader reads: a real accessibility bus, read through AT-SPI as a
    # screen reader does (Debian's python3 with pyatspi).
    at-spi2-core python3-pyatspi
)

# The Windows build: cross-built with MinGW-w64 (posix threads) against a Windows Qt, run
# under Wine on Xvfb with a Chinese locale (code page 936) and a Chinese font for SimSun & co.
TRACKORO_WINDOWS_PACKAGES=(
    g++-mingw-w64-x86-64-posix wine64 nsis unzip xz-utils
    locales fonts-wqy-microhei xvfb xauth
    # A window manager on Wine's X server, as on a desktop (x11-utils: xprop sees it is up).
    openbox x11-utils
    # The packaged program used as a user would: key presses, the clipboard for Chinese text,
    # screenshots.
    xdotool xclip imagemagick
    # The icons on the program and the installer read back (wrestool).
    icoutils
    # moc, rcc and uic for the cross-build come from the Debian Qt.
    qt6-base-dev-tools cmake ninja-build
    # Sound played under Wine goes through GStreamer (mp3 decoder) to a recorded audio server.
    gstreamer1.0-plugins-good pulseaudio pulseaudio-utils
)

trackoro_missing_packages() {
    local missing=()
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    echo "${missing[@]:-}"
}

# trackoro_install <package>...: installs the packages that are missing.
trackoro_install() {
    local missing
    missing=$(trackoro_missing_packages "$@")
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" != 0 ]; then
        echo "These Debian packages are missing: $missing" >&2
        echo "Install them with:" >&2
        echo "    sudo apt-get install -y $missing" >&2
        exit 1
    fi
    echo "Installing: $missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get -o DPkg::Lock::Timeout=600 update -qq || true
    # shellcheck disable=SC2086
    apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends $missing >/dev/null
}

# trackoro_install_windows: installs what the Windows build and its tests need.
trackoro_install_windows() {
    trackoro_install "${TRACKORO_WINDOWS_PACKAGES[@]}"
}

# How many compile jobs a build runs: every core (the machines have two), unless
# TRACKORO_JOBS says otherwise. Every script builds with this one number.
trackoro_jobs() {
    echo "${TRACKORO_JOBS:-$(nproc)}"
}

trackoro_generator() {
    if command -v ninja >/dev/null 2>&1; then
        echo "Ninja"
    else
        echo "Unix Makefiles"
    fi
}

# trackoro_build <build dir> [extra cmake options...]
# Builds everything, or only the targets named in TRACKORO_TARGETS (space-separated).
trackoro_build() {
    local dir=$1
    shift
    trackoro_install "${TRACKORO_PACKAGES[@]}"
    # Configured again whenever the options differ from the last configure's, so a new option
    # is never silently ignored by an existing build folder.
    local options="$*"
    if [ ! -f "$dir/CMakeCache.txt" ] || [ "$(cat "$dir/.trackoro-options" 2>/dev/null)" != "$options" ]; then
        cmake -S . -B "$dir" -G "$(trackoro_generator)" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
        echo "$options" >"$dir/.trackoro-options"
    fi
    local targets=()
    if [ -n "${TRACKORO_TARGETS:-}" ]; then
        # shellcheck disable=SC2206
        targets=(--target $TRACKORO_TARGETS)
    fi
    cmake --build "$dir" --parallel "$(trackoro_jobs)" "${targets[@]+"${targets[@]}"}"
}
