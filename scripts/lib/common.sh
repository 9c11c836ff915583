# Shared by the scripts: the project's folder and installing Debian packages when missing.
# shellcheck shell=bash
QR_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
export QR_ROOT

# Packages the build, the program and the tests need.
# qt6-translations-l10n: Qt's own German texts (standard buttons, directory chooser).
# libudev-dev: the system's device database, for naming the serial devices present.
QR_BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev
                   qt6-translations-l10n libudev-dev)
QR_TEST_PACKAGES=(clang-14 clang-format-14 libclang-rt-14-dev libbenchmark-dev libssl-dev openssl libgmp-dev
                  python3 python3-cryptography gpsbabel xvfb xauth)

qr_missing_packages() {
    local p missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    echo "${missing[@]}"
}

# qr_install PACKAGE...: apt-get update once, then install only the missing ones.
qr_install() {
    local missing
    missing=$(qr_missing_packages "$@")
    [ -z "$missing" ] && return 0
    echo "Installing: $missing"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -q
    # shellcheck disable=SC2086
    $sudo apt-get install -y -q --no-install-recommends $missing
}

# Node.js with npm, for the npm test oracles. A machine may carry its own Node.js that
# brings npm along; Debian's packages are taken only when the commands are missing.
qr_install_node() {
    command -v node >/dev/null && command -v npm >/dev/null && return 0
    qr_install nodejs npm
}

# qr_build DIR [cmake args...]: configure (once) and build.
qr_build() {
    local dir="$1"; shift
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S "$QR_ROOT" -B "$dir" -G Ninja "$@"
    fi
    cmake --build "$dir" --parallel "$(nproc)"
}
