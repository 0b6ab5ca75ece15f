# Debian packages of the suite, and their installation when missing.
BUILD_PACKAGES=(cmake make g++ pkg-config qt6-base-dev qt6-serialport-dev qt6-multimedia-dev libshp-dev
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good)
# poppler-utils reads the printed reports back as text; the fonts give them Cyrillic glyphs.
# The package test makes the .deb (dpkg-dev's dpkg-shlibdeps finds its library
# dependencies) and validates its desktop entries (desktop-file-utils).
TEST_PACKAGES=(python3-dbfread xvfb xdotool poppler-utils fonts-dejavu-core dpkg-dev desktop-file-utils)
# The fuzz targets are built with clang and its sanitizer and fuzzer runtime.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# The demo's sounds speak their names (without it the build makes tones).
DEMO_PACKAGES=(espeak-ng)

install_packages() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    echo "Installing: ${missing[*]}"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}
