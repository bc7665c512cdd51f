#!/usr/bin/env bash
# Installs every build, test and run dependency of Tavorix from Debian.
# Idempotent: runs apt-get update only when a package is missing.
# With --fuzz also clang and libFuzzer, which only `make fuzz` needs; with
# --render also Chromium, which only scripts/render-report.sh needs.
set -euo pipefail

packages=(
  g++ cmake ninja-build make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-qpa-plugins libgl-dev
  fonts-liberation fonts-liberation2 fontconfig
  xvfb xauth
  openbox xdotool xclip imagemagick
  desktop-file-utils libxml2-dev
  locales
)
for option in "$@"; do
  case $option in
    --fuzz) packages+=(clang libfuzzer-14-dev) ;;
    --render) packages+=(chromium) ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# A German locale (decimal comma) for the test that files never take the
# locale's decimal separator.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  $SUDO sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
