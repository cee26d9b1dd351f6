#!/usr/bin/env bash
# Installs the Debian packages Velmora needs to build, test and run, when any is missing.
# Sourced by run.sh and test.sh; usage: ensure_deps [extra packages...]

VELMORA_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev libgl-dev libfontconfig-dev
    libqt6svg6
    libgtest-dev libbenchmark-dev
    desktop-file-utils shared-mime-info
    clang libclang-rt-14-dev
    fonts-liberation fonts-dejavu-core
    poppler-utils
)

ensure_deps() {
    local wanted=("${VELMORA_PACKAGES[@]}" "$@") missing=() pkg
    for pkg in "${wanted[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    echo "Installing missing packages: ${missing[*]}" >&2
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo=(sudo)
        else
            echo "Run as root: apt-get update && apt-get install -y ${missing[*]}" >&2
            return 1
        fi
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq && "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}
