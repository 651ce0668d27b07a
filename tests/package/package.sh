#!/usr/bin/env bash
# Builds the Debian package from this build, checks its dependencies and lintian's verdict,
# unpacks it into a temporary root, sets up a school there with the installed tavoro-data
# and starts the installed program on the offscreen platform: it must reach the name
# selection, and end with status 0 when the system asks it to (SIGTERM, as at logout).
# Arguments: the build folder and, optionally, the cpack to use.
set -euo pipefail
build=$1
cpack=${2:-cpack}
work=$(mktemp -d /tmp/tavoro-package.XXXXXX)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

# -- the package -------------------------------------------------------------------------
(cd "$build" && "$cpack" -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/pkg/tavoro_*.deb)
echo "package: $(basename "$deb")"

# The dependencies are the libraries the binaries link, found by dpkg-shlibdeps, and the
# Japanese font.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for need in fonts-noto-cjk libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6multimedia6 libicu72; do
  [[ ", $depends," == *", $need "* || ", $depends," == *", $need,"* ]] || fail "Depends lacks $need"
done

if command -v lintian >/dev/null; then
  lintian --allow-root "$deb" >"$work/lintian.log" 2>&1 || true
  cat "$work/lintian.log"
  if grep -q '^E: ' "$work/lintian.log"; then fail "lintian reports errors"; fi
else
  echo "lintian is not installed; not run"
fi

# -- the installation ---------------------------------------------------------------------
root=$work/root
dpkg-deb -x "$deb" "$root"
for f in usr/bin/tavoro usr/bin/tavoro-data usr/lib/tavoro/Tavoro/tavoro \
  usr/share/applications/jp.quillbrook.Tavoro.desktop \
  usr/share/metainfo/jp.quillbrook.Tavoro.metainfo.xml \
  usr/share/icons/hicolor/scalable/apps/jp.quillbrook.Tavoro.svg \
  usr/share/tavoro/音フォルダ/新音ファイル.txt usr/share/doc/tavoro/copyright; do
  [ -e "$root/$f" ] || fail "the package lacks /$f"
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/jp.quillbrook.Tavoro.desktop" ||
    fail "desktop entry"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$root/usr/share/metainfo/jp.quillbrook.Tavoro.metainfo.xml" ||
    fail "AppStream metainfo"
fi
link=$root/usr/lib/tavoro/パスデータ.txt
[ "$(readlink "$link")" = /etc/tavoro/パスデータ.txt ] || fail "/usr/lib/tavoro/パスデータ.txt is no link to /etc/tavoro"
# The link is absolute, as Debian wants between /usr and /etc; in the temporary root it is
# pointed at the root's own /etc, as it would resolve in a chroot.
ln -sfn "$root/etc/tavoro/パスデータ.txt" "$link"

# -- a school -------------------------------------------------------------------------------
data=$work/school
"$root/usr/bin/tavoro-data" init "$data" --school-code 31415 \
  --school-name みなと市立さくら小学校 --password 1234 >"$work/init.log" 2>&1 ||
  { cat "$work/init.log"; fail "tavoro-data init"; }
grep -q "作りました: $root/usr/lib/tavoro/パスデータ.txt" "$work/init.log" ||
  { cat "$work/init.log"; fail "init did not write the path data file"; }
[ "$(head -c $((${#data} + 1)) "$root/etc/tavoro/パスデータ.txt")" = "$data/" ] ||
  fail "the path data file does not name $data/"
out=$("$root/usr/bin/tavoro-data" check 2>&1) || fail "check: $out"
[ -z "$out" ] || fail "check reports: $out"
# The sounds of a new school are the ones the installation carries.
for wav in "$root"/usr/share/tavoro/音フォルダ/*; do
  cmp -s "$wav" "$data/音フォルダ/$(basename "$wav")" || fail "$(basename "$wav") differs"
done

# -- the program ------------------------------------------------------------------------------
QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES="tavoro.screens.info=true" \
  "$root/usr/bin/tavoro" >"$work/tavoro.log" 2>&1 &
pid=$!
for _ in $(seq 150); do
  grep -q "name selection shown" "$work/tavoro.log" && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
grep -q "name selection shown" "$work/tavoro.log" ||
  { cat "$work/tavoro.log"; fail "the program did not reach the name selection"; }
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=
cat "$work/tavoro.log"
[ "$status" = 0 ] || fail "the program ended with status $status"
grep -q "ending on the system's request" "$work/tavoro.log" || fail "no orderly end"
echo "package test passed"
