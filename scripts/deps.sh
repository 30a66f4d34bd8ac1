#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Quorlits need.
# Idempotent: apt-get runs only when a package is missing.
set -euo pipefail
packages=(
    build-essential cmake ninja-build pkg-config dpkg-dev file
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev libjpeg-dev libudev-dev
    libgtest-dev libgmock-dev libbenchmark-dev umockdev libumockdev-dev
    # Compiles only what changed since any earlier build on this machine, in any clone.
    ccache
    clang libclang-rt-14-dev clang-format
    fonts-dejavu-core tzdata faketime
    # The service: sd_notify and the watchdog; systemd-analyze checks the unit, man and groff
    # the manual (and the unit's Documentation=), appstreamcli the metainfo.
    libsystemd-dev systemd man-db groff-base appstream
    # CRC-32 of the raw-data capture's and the outbox's records (zlib).
    zlib1g-dev
    # Qt's own texts (file dialogs, standard buttons) in German.
    qt6-translations-l10n
    # Publishing readings (libmosquitto) and the collector (libpq); the tests start a real
    # Mosquitto and a real PostgreSQL of their own (openssl makes the TLS test certificates).
    libmosquitto-dev libssl-dev mosquitto libpq-dev postgresql openssl
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
