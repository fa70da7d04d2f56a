#!/usr/bin/env bash
# Installs what a fresh Debian 12 (or Ubuntu) machine lacks to build, run and
# test Kyklos. Safe to run again: packages already present are left alone.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev libqt6svg6-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libcli11-dev libeigen3-dev librandom123-dev libgmp-dev
  fonts-liberation
  clang clang-format
  xvfb xauth poppler-utils openbox xdotool x11-utils
  lintian desktop-file-utils appstream shared-mime-info xdg-utils file
  help2man libfile-mimeinfo-perl
  locales
)

# A German locale, so that the tests can check that numbers keep their full stop under it.
ensure_german_locale() {
  locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' && return 0
  $sudo sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  $sudo locale-gen >/dev/null
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if [ ${#missing[@]} -eq 0 ]; then
  ensure_german_locale
  exit 0
fi

echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
ensure_german_locale
