#!/usr/bin/env bash
# Checks what a user installs: `cmake --install` into a scratch prefix gives the
# binary, desktop entry, icon, metainfo and man page, all valid; CPack's .deb
# declares its dependencies, installs with apt and starts.
#   scripts/check-install.sh [BUILD-DIR]   (default build; must be configured)
# Installing the .deb needs root; without it that step is skipped with a note.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
scripts/install-deps.sh desktop-file-utils appstream
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/usr" >/dev/null
app=org.cellsonify.Cellsonify
for f in bin/cellsonify share/applications/$app.desktop share/icons/hicolor/scalable/apps/$app.svg \
         share/metainfo/$app.metainfo.xml share/man/man1/cellsonify.1; do
  [ -e "$work/usr/$f" ] || { echo "check-install: $f was not installed" >&2; exit 1; }
done
desktop-file-validate "$work/usr/share/applications/$app.desktop"
appstreamcli validate --no-net --explain "$work/usr/share/metainfo/$app.metainfo.xml" >/dev/null
man -l "$work/usr/share/man/man1/cellsonify.1" >/dev/null 2>"$work/man.err" || true
if [ -s "$work/man.err" ]; then cat "$work/man.err" >&2; echo "check-install: the man page has errors" >&2; exit 1; fi
# The man page names the files where this install put them.
grep -q "$work/usr/share/cellsonify/examples/cortex-100-cells.txt" "$work/usr/share/man/man1/cellsonify.1" ||
  { echo "check-install: the man page's FILES do not follow the install prefix" >&2; exit 1; }
grep -q "<project_license>GPL-3.0-or-later</project_license>" "$work/usr/share/metainfo/$app.metainfo.xml" ||
  { echo "check-install: the metainfo does not give the licence" >&2; exit 1; }
"$work/usr/bin/cellsonify" --version

(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/cellsonify_*.deb | head -1)
depends=$(dpkg-deb -f "$deb" Depends)
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/cellsonify/copyright | grep -q "SPDX-License-Identifier: GPL-3.0-or-later" ||
  { echo "check-install: the package has no copyright file naming its licence" >&2; exit 1; }
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/man/man1/cellsonify.1.gz 2>/dev/null | gzip -dc 2>/dev/null |
  grep -q "^\.I /usr/share/cellsonify/examples" ||
  dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/man/man1/cellsonify.1 | grep -q "^\.I /usr/share/cellsonify/examples" ||
  { echo "check-install: the package's man page does not name /usr/share" >&2; exit 1; }
echo "$(basename "$deb"): Depends: $depends"
for lib in libqt6widgets6 libfluidsynth3 fluid-soundfont-gm; do
  grep -q "$lib" <<<"$depends" || { echo "check-install: the package does not depend on $lib" >&2; exit 1; }
done
if [ "$(id -u)" -ne 0 ]; then
  echo "check-install: not root, so the .deb was built and checked but not installed"
  exit 0
fi
DEBIAN_FRONTEND=noninteractive apt-get install -y "$(realpath "$deb")" >/dev/null
trap 'DEBIAN_FRONTEND=noninteractive apt-get remove -y cellsonify >/dev/null || true; rm -rf "$work"' EXIT
/usr/bin/cellsonify --version
# The desktop entry's command opens the window (offscreen here) and keeps it open.
status=0
QT_QPA_PLATFORM=offscreen CELLSONIFY_NO_AUDIO_DEVICE=1 timeout 3 /usr/bin/cellsonify \
  /usr/share/cellsonify/examples/cortex-100-cells.txt || status=$?
[ "$status" -eq 124 ] || { echo "check-install: the installed program exited ($status) instead of showing its window" >&2; exit 1; }
echo "check-install: installed and started from the .deb"
