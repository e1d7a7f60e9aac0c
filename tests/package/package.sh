#!/usr/bin/env bash
# The Debian package as a clerk's machine gets it: built with CPack, its files, dependencies and
# desktop entry checked with Debian's own tools, installed with apt-get, started under xvfb-run
# until it has made its database in the user's data folder, and removed again.
#   package.sh BUILD-DIR PROJECT-VERSION CPACK
# Needs root (apt-get install); skipped (status 77) otherwise, and when a lanshi package is already
# installed, which this test must not replace or remove.
set -euo pipefail
build="$1" version="$2" cpack="$3"

if [ "$(id -u)" -ne 0 ]; then
  echo "SKIP: installing a package needs root"; exit 77
fi
if dpkg-query -W -f='${Status}' lanshi 2>/dev/null | grep -q 'install ok installed'; then
  echo "SKIP: a lanshi package is installed on this machine already; it is left alone"; exit 77
fi

tmp="$(mktemp -d /tmp/lanshi-package.XXXXXX)"
installed=0
cleanup() {
  if [ "$installed" = 1 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq lanshi >/dev/null 2>&1 || true
  fi
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# ---- build ----
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log"; fail "cpack"; }
arch="$(dpkg --print-architecture)"
deb="$tmp/pkg/lanshi_${version}_${arch}.deb"
[ -f "$deb" ] || { ls "$tmp/pkg"; fail "no package named $(basename "$deb")"; }

# ---- control fields ----
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = lanshi ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version $(field Version), the project's is $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
description="$(field Description)"
grep -q '套打支票' <<<"$description" || fail "no Chinese description: $description"
grep -q 'prints Chinese bank vouchers' <<<"$description" || fail "no English description: $description"

# Every package named in Depends, without versions and alternatives.
depends=" $(field Depends | tr ',|' '\n\n' | sed -e 's/(.*)//' -e 's/ //g' | grep -v '^$' | tr '\n' ' ') "
needs() { [[ "$depends" == *" $1 "* ]] || fail "Depends lacks $1 ($2); Depends: $depends"; }
owner() { # the package that holds a file, by its path or the path a link resolves to
  local p
  p="$(dpkg -S "$1" 2>/dev/null || dpkg -S "$(readlink -f "$1")" 2>/dev/null)" || return 1
  echo "${p%%:*}"
}

# ---- files ----
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort >"$tmp/files"
{
  echo ./usr/bin/lanshi
  echo ./usr/share/applications/lanshi.desktop
  for s in 16 24 32 48 64 128 256; do echo "./usr/share/icons/hicolor/${s}x${s}/apps/lanshi.png"; done
  echo ./usr/share/icons/hicolor/scalable/apps/lanshi.svg
} | sort >"$tmp/expected"
diff -u "$tmp/expected" "$tmp/files" || fail "the package's files differ from the install layout"
dpkg-deb -x "$deb" "$tmp/root"

# The libraries the program links, each from a package it depends on.
binary="$tmp/root/usr/bin/lanshi"
objdump -p "$binary" | awk '/NEEDED/ {print $2}' >"$tmp/needed"
[ -s "$tmp/needed" ] || fail "objdump found no libraries"
while read -r soname; do
  path="$(ldd "$binary" | awk -v l="$soname" '$1 == l && $2 == "=>" {print $3}')"
  [ -n "$path" ] || path="$(ldd "$binary" | awk -v l="$soname" '$1 ~ l {print $1}')"
  pkg="$(owner "$path")" || fail "no package holds $soname ($path)"
  needs "$pkg" "$soname"
done <"$tmp/needed"
# What it loads without linking: Qt's SQLite driver, Qt's Chinese translation, the Song face.
plugins="$(dirname "$(ldd "$binary" | awk '$1 == "libQt6Core.so.6" {print $3}')")/qt6/plugins"
needs "$(owner "$plugins/sqldrivers/libqsqlite.so")" "the SQLite driver"
needs "$(owner /usr/share/qt6/translations/qtbase_zh_CN.qm)" "qtbase_zh_CN.qm"
needs "$(owner "$(fc-match -f '%{file}' 'AR PL UMing CN')")" "the Song face"

# ---- desktop entry and icons ----
entry="$tmp/root/usr/share/applications/lanshi.desktop"
desktop-file-validate "$entry" || fail "desktop-file-validate"
grep -qx 'Name=蓝石竞技通' "$entry" || fail "Name"
grep -qx 'Categories=Office;Finance;' "$entry" || fail "Categories"
grep -q '^Comment=.*套打' "$entry" || fail "Chinese comment"
grep -qx 'Exec=lanshi' "$entry" && grep -qx 'Icon=lanshi' "$entry" || fail "Exec or Icon"
for s in 16 24 32 48 64 128 256; do
  file -b "$tmp/root/usr/share/icons/hicolor/${s}x${s}/apps/lanshi.png" | grep -q "PNG image data, $s x $s," \
    || fail "icon ${s}x${s}"
done
rsvg-convert -w 64 -h 64 -o "$tmp/svg.png" "$tmp/root/usr/share/icons/hicolor/scalable/apps/lanshi.svg" \
  || fail "the SVG icon does not render"
file -b "$tmp/svg.png" | grep -q 'PNG image data, 64 x 64,' || fail "the SVG icon rendered wrong"

# ---- install, start, remove ----
(cd "$tmp/pkg" && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$(basename "$deb")") >"$tmp/apt.log" 2>&1 \
  || { cat "$tmp/apt.log"; fail "apt-get install"; }
installed=1
[ "$(command -v lanshi)" = /usr/bin/lanshi ] || fail "lanshi is not on the PATH"
[ "$(lanshi --version)" = "蓝石竞技通 $version" ] || fail "lanshi --version: $(lanshi --version)"

# A clerk's start from the menu: no data folder given, a home of our own.
home="$tmp/home"
mkdir -p "$home"
data="$home/.local/share/lanshi"
echo '收款人,金额,日期,用途,支票号码' >"$tmp/list.csv"
cat >"$tmp/start.sh" <<'EOF'
# Runs inside xvfb-run: starts the program, waits for its database, tries a second copy, ends it.
lanshi >"$TMPDIR_T/windows.log" 2>&1 &
pid=$!
for _ in $(seq 1 300); do
  [ -s "$DATA/sjk.mdb" ] && break
  kill -0 $pid 2>/dev/null || { echo "the program ended at start"; cat "$TMPDIR_T/windows.log"; exit 1; }
  sleep 0.1
done
[ -s "$DATA/sjk.mdb" ] || { echo "no database after 30 s"; kill $pid; exit 1; }
sleep 2
kill -0 $pid 2>/dev/null || { echo "the program ended after making its database"; cat "$TMPDIR_T/windows.log"; exit 1; }
lanshi print zpdy --data "$TMPDIR_T/list.csv" >"$TMPDIR_T/second.log" 2>&1
echo $? >"$TMPDIR_T/second.status"
kill $pid
wait $pid 2>/dev/null
exit 0
EOF
env -u LANSHI_DATA_DIR -u XDG_DATA_HOME -u QT_QPA_PLATFORM HOME="$home" DATA="$data" TMPDIR_T="$tmp" \
  timeout 120 xvfb-run -a bash "$tmp/start.sh" || fail "the installed program did not run"
[ "$(sqlite3 "$data/sjk.mdb" "select count(*) from sqlite_master where type = 'table' and name in
     ('khb', 'bssz', 'ytb', 'dyb', 'dytj', 'tydysz')")" = 6 ] || fail "the database in $data lacks tables"
[ "$(cat "$tmp/second.status")" = 2 ] && grep -q '正在被另一个蓝石竞技通使用' "$tmp/second.log" \
  || { cat "$tmp/second.log"; fail "a second copy was not turned away"; }
for f in sjk.mdb lanshi.lock mqtx.ini; do
  [ ! -e "/usr/bin/$f" ] || fail "/usr/bin/$f was written"
done

DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq lanshi >"$tmp/apt.log" 2>&1 || { cat "$tmp/apt.log"; fail "apt-get purge"; }
installed=0
! dpkg-query -W -f='${Status}' lanshi 2>/dev/null | grep -q 'install ok installed' || fail "still installed after purge"
while read -r f; do
  [ ! -e "${f#.}" ] || fail "${f#.} stayed after the package was removed"
done <"$tmp/files"
echo "package $(basename "$deb"): files, dependencies, desktop entry, install, start and removal checked"
