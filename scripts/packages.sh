# Installs the Debian packages that building, testing and running need, when any is missing.
# Sourced by run.sh, test.sh and the scripts; call ensure_packages with any extra package names.

# FLUID_QT_MAJOR=5 takes Qt 5.15; otherwise Qt 6.
FLUID_QT_PACKAGES=(qt6-base-dev)
if [ "${FLUID_QT_MAJOR:-auto}" = 5 ]; then
    FLUID_QT_PACKAGES=(qtbase5-dev)
fi
FLUID_PACKAGES=(make cmake g++ "${FLUID_QT_PACKAGES[@]}" libglu1-mesa-dev libegl-dev libegl-mesa0
                libgtest-dev libbenchmark-dev xvfb xauth libgl1-mesa-dri fonts-dejavu-core
                dpkg-dev file desktop-file-utils appstream python3-numpy)

# Installs every package that the full build and its tests need, and any named in the arguments.
ensure_packages() {
    ensure_only_packages "${FLUID_PACKAGES[@]}" "$@"
}

# Installs those of the named packages that are missing.
ensure_only_packages() {
    local missing=() pkg
    for pkg in "$@"; do
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
