#!/usr/bin/env bash
# Installs the Debian 12 packages Portrik needs to build, run and test it. Quick when all
# are present; works as root, or through sudo for other users.
set -euo pipefail

PACKAGES=(
  # building
  cmake ninja-build g++ qt6-base-dev libturbojpeg0-dev libx11-dev
  # the counter photo: dlib's face detector and its 68-point landmark model; photos from
  # phones and cameras (HEIC through libheif, WebP and TIFF through Qt's image plugins) and
  # their colour profiles (LittleCMS)
  libdlib-dev libdlib-data libheif-dev liblcms2-dev qt6-image-formats-plugins
  # tests, benchmarks and fuzzing; a Dutch locale made by a test, in which the command line's
  # figures must keep their decimal point (locales)
  libgtest-dev libbenchmark-dev clang libclang-rt-14-dev locales
  # running headless, fonts the windows were designed with (Comic Neue, Liberation Sans)
  xvfb xauth fonts-comic-neue fonts-liberation
  # printing: a CUPS server with a PDF queue, rasterising its PDFs, and libcups to ask a
  # queue whether it takes jobs
  cups cups-bsd printer-driver-cups-pdf poppler-utils libcups2-dev
  # the validators of the menu entry and its AppStream metadata, run by the install test
  desktop-file-utils appstream
  # the Debian package: cpack finds the libraries the program links with dpkg-shlibdeps
  # (dpkg-dev), which it runs on what `file` calls an ELF program; lintian checks the package
  dpkg-dev file lintian
)

missing=()
for package in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
  sudo=(sudo)
fi
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
  "${missing[@]}" >/dev/null
