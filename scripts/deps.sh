#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run and test Vimbra Generator. Only missing
# packages are installed; the package lists are refreshed once, and only if something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libpulse-dev qt6-wayland
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  fonts-liberation clang-format
  pulseaudio pulseaudio-utils sox xvfb
  desktop-file-utils appstream lintian xdotool x11-utils
  weston dbus-daemon at-spi2-core python3-pyatspi
  qt6-gtk-platformtheme adwaita-qt6 imagemagick
)
# The package checks: desktop-file-validate, appstreamcli, lintian, and xdotool and xprop (from
# x11-utils) to find the window under Xvfb. dpkg-shlibdeps, which CPack uses for the package's
# dependencies, comes with build-essential (dpkg-dev).
# qt6-wayland lets the program run natively on a Wayland desktop (Qt's platform plugin for it).
# The Wayland check (scripts/check-wayland.sh): Weston, a session bus, and the accessibility bus
# and its Python client to operate the window without X. dbus-daemon also gives the media
# control's test a session bus of its own.
# The dark desktop check (scripts/check-themes.sh): GNOME's Qt integration and the dark Adwaita
# style to run the program under, ImageMagick's import and compare for the screenshots.
# qt6-base-dev pulls in libgl-dev (GL/gl.h), which Qt's CMake package needs for OpenGL;
# libgl1-mesa-dev is not needed.

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "deps: installing ${missing[*]}" >&2
if [[ $(id -u) -eq 0 ]]; then
  as_root=(env DEBIAN_FRONTEND=noninteractive)
elif command -v sudo >/dev/null; then
  as_root=(sudo env DEBIAN_FRONTEND=noninteractive)
else
  echo "deps: missing packages and neither root nor sudo: ${missing[*]}" >&2
  exit 1
fi
"${as_root[@]}" apt-get update
"${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
