#!/bin/sh
# cmake --install of the desktop's part into a scratch prefix: the thumbnailer
# and every desktop file land below the prefix, and the entries name the
# programs there.  install-test.sh BUILD_DIR
set -eu
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" --component desktop > /dev/null
fail() { echo "install-test: $*" >&2; exit 1; }
[ -x "$prefix/bin/marlox-thumbnailer" ] || fail "no thumbnailer"
share="$prefix/share"
[ -f "$share/mime/packages/marlox.xml" ] || fail "no file types"
grep -q 'application/x-marlox-item-graph' "$share/mime/packages/marlox.xml" || fail "no stored item kinds"
grep -qx "Exec=$prefix/bin/marlox-thumbnailer -s %s %i %o" "$share/thumbnailers/marlox.thumbnailer" \
  || fail "thumbnailer entry names another program"
grep -q "^Exec=$prefix/bin/marlox %f" "$share/applications/marlox.desktop" || fail "desktop entry names another program"
for size in 16 22 24 32 48 64 128 256; do
  [ -f "$share/icons/hicolor/${size}x${size}/mimetypes/application-x-marlox-workspace.png" ] || fail "no ${size} px icon"
done
[ -f "$share/icons/hicolor/scalable/mimetypes/application-x-marlox-item-table.svg" ] || fail "no scalable kind icon"
# Installed in place: the type database was compiled.
[ -f "$share/mime/mime.cache" ] || fail "update-mime-database did not run"
echo "installed below $prefix"
