# Installs the Debian packages Kestrel needs to build, run and be tested,
# only those that are missing. Sourced by scripts/run and scripts/test.

KESTREL_PACKAGES=(
    build-essential clang cmake ccache
    qt6-base-dev qt6-base-dev-tools qt6-charts-dev libgl-dev libx11-dev
    unixodbc unixodbc-dev odbc-mariadb libmariadb-dev pkgconf
    mariadb-server mariadb-client galera-4 rsync iproute2
    xvfb xauth openbox x11-utils xdotool imagemagick fonts-dejavu-core poppler-utils
    dpkg-dev desktop-file-utils lintian appstream librsvg2-bin help2man
)

install_packages() {
    local missing=() p
    for p in "${KESTREL_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
}

# build_kestrel DIR [CMAKE_ARGUMENT...]: configure and build everything into
# DIR.
build_kestrel() {
    local dir=$1
    shift
    cmake -S "$KESTREL_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
}
