# Installs the Debian packages that building, testing and running need, when any is missing.
# Sourced by run.sh and test.sh; call ensure_packages with any extra package names.

FLUID_PACKAGES=(make cmake g++ qtbase5-dev libqt5opengl5-dev libglu1-mesa-dev libgtest-dev
                libbenchmark-dev xvfb xauth libgl1-mesa-dri fonts-dejavu-core
                dpkg-dev file desktop-file-utils appstream)

ensure_packages() {
    local missing=() pkg
    for pkg in "${FLUID_PACKAGES[@]}" "$@"; do
        if ! dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null | grep -qx installed; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null 2>&1; then
            echo "Missing packages: ${missing[*]}; install them as root (no sudo found)." >&2
            return 1
        fi
        sudo=(sudo)
    fi
    echo "Installing missing packages: ${missing[*]}"
    "${sudo[@]}" apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
}
