#!/usr/bin/env bash
# Builds the Debian package in BUILD_DIR and checks it without installing
# it: lintian finds no errors, the desktop entry and the AppStream metainfo
# validate, the unpacked package holds every file it should, and the
# unpacked programs print their version. Usage: tools/package-check.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: tools/package-check.sh BUILD_DIR}

cmake --build "$build" --target package
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb=$(ls "$build"/quorvella_"$version"-*_*.deb)
echo "Package: $deb ($(du -k "$deb" | cut -f1) kB)"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"

missing=0
for item in \
  usr/bin/quorvella \
  usr/bin/quorvella-cli \
  usr/share/applications/quorvella.desktop \
  usr/share/mime/packages/quorvella.xml \
  usr/share/metainfo/org.quorvella.Quorvella.metainfo.xml \
  usr/share/icons/hicolor/scalable/apps/quorvella.svg \
  usr/share/icons/hicolor/{32x32,48x48,64x64,128x128,256x256}/apps/quorvella.png \
  usr/share/icons/hicolor/scalable/mimetypes/application-x-quorvella.svg \
  usr/share/man/man1/quorvella.1.gz \
  usr/share/man/man1/quorvella-cli.1.gz \
  usr/share/bash-completion/completions/quorvella-cli \
  usr/share/doc/quorvella/copyright \
  usr/share/doc/quorvella/changelog.Debian.gz \
  usr/share/quorvella/examples/{forams.qvl,forams-matrix.csv,forams-core-top.csv,forams-abundances.txt}
do
  if [ ! -s "$unpacked/$item" ]; then
    echo "package-check: the package lacks /$item" >&2
    missing=1
  fi
done
[ "$missing" -eq 0 ]

# The manual pages carry the same text as --help.
for program in quorvella quorvella-cli; do
  zcat "$unpacked/usr/share/man/man1/$program.1.gz" | grep -q '^\.SH OPTIONS$'
done
[ "$("$unpacked/usr/bin/quorvella-cli" --version)" = "quorvella-cli $version" ]
[ "$("$unpacked/usr/bin/quorvella" --version)" = "quorvella $version" ]
"$unpacked/usr/bin/quorvella-cli" chao2 --format matrix \
  "$unpacked/usr/share/quorvella/examples/forams-matrix.csv"

# The screenshots the metainfo names are files of the source tree.
for shot in $(grep -o '/docs/screenshots/[^<]*' "$unpacked/usr/share/metainfo/org.quorvella.Quorvella.metainfo.xml"); do
  [ -s ".$shot" ] || { echo "package-check: the metainfo names a missing screenshot $shot" >&2; exit 1; }
done

desktop-file-validate "$unpacked/usr/share/applications/quorvella.desktop"
appstreamcli validate --no-net "$unpacked/usr/share/metainfo/org.quorvella.Quorvella.metainfo.xml"
bash -n "$unpacked/usr/share/bash-completion/completions/quorvella-cli"

# Warnings are listed but do not fail the check; errors do.
lintian --fail-on error --info "$deb"
echo "package-check: $deb passed"
