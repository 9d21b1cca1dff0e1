#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running need.
set -euo pipefail

# dpkg-dev (dpkg-shlibdeps), file, lintian, desktop-file-utils and appstream
# build and check the Debian package (tools/package-check.sh).
# libclang-rt-14-dev holds libFuzzer and the sanitizer runtimes for clang;
# it is only recommended by clang, and recommendations are not installed.
packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  libsqlite3-dev libssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  fonts-liberation2
  poppler-utils
  dpkg-dev file lintian desktop-file-utils appstream
  locales
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
if [ ${#missing[@]} -ne 0 ]; then
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# tools/test.sh runs the GUI and text tests once more under a comma-decimal
# locale; generate it when the system lacks it.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  if grep -q '^# *de_DE\.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    "${sudo_cmd[@]}" sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  elif ! grep -q '^de_DE\.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'de_DE.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  fi
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
