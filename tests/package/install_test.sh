#!/usr/bin/env bash
# Builds the Debian package from this build tree, unpacks it into a scratch
# root (dpkg-deb -x, no installation) and checks that what a desk would get is
# complete and that its kenshin-check gives the same report as the one built here.
#
#   install_test.sh BUILD_DIR BUILT_KENSHIN_CHECK SAMPLE_ARCHIVE
set -euo pipefail
build="$1" built_cli="$2" sample="$3"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$scratch/package" >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log" >&2; fail "cpack"; }
debs=("$scratch"/package/kenshin-check_*_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one kenshin-check_<version>_<arch>.deb"
deb="${debs[0]}"

depends="$(dpkg-deb -f "$deb" Depends)"
for needed in libxml2 libzip4 libqt6widgets6 qt6-qpa-plugins fonts-ipafont-mincho fonts-ipafont-gothic qt6-translations-l10n; do
  [[ ", $depends," == *", $needed"[\ ,]* ]] || fail "Depends lacks $needed: $depends"
done

root="$scratch/root"
dpkg-deb -x "$deb" "$root"
for file in usr/bin/kenshin-check usr/bin/kenshin-check-gui \
            usr/share/man/man1/kenshin-check.1.gz usr/share/man/man1/kenshin-check-gui.1.gz \
            usr/share/man/ja/man1/kenshin-check.1.gz usr/share/man/ja/man1/kenshin-check-gui.1.gz \
            usr/share/applications/kenshin-check.desktop usr/share/icons/hicolor/scalable/apps/kenshin-check.svg \
            usr/share/doc/kenshin-check/copyright usr/share/doc/kenshin-check/changelog.gz \
            usr/share/kenshin-check/guide.html; do
  [ -f "$root/$file" ] || fail "missing $file"
done
grep -qx 'Icon=kenshin-check' "$root/usr/share/applications/kenshin-check.desktop" || fail "desktop entry without Icon="
# The checker overwrites ERR.txt; offering it for every zip on the desktop would invite that.
! grep -q "^MimeType=" "$root/usr/share/applications/kenshin-check.desktop" || fail "desktop entry claims a file type"
for program in kenshin-check kenshin-check-gui; do
  ! readelf -S "$root/usr/bin/$program" | grep -q '\.debug_' || fail "$program is not stripped"
done

mkdir "$scratch/desk-built" "$scratch/desk-installed"
set +e
"$built_cli" --desktop "$scratch/desk-built" "$sample" >"$scratch/built.out"
built_status=$?
"$root/usr/bin/kenshin-check" --desktop "$scratch/desk-installed" "$sample" >"$scratch/installed.out"
installed_status=$?
set -e
[ "$installed_status" -eq "$built_status" ] || fail "exit status $installed_status, built program gave $built_status"
[ -s "$scratch/desk-installed/ERR.txt" ] || fail "installed program wrote no ERR.txt"
cmp "$scratch/desk-built/ERR.txt" "$scratch/desk-installed/ERR.txt" || fail "ERR.txt differs"
cmp "$scratch/built.out" "$scratch/installed.out" || fail "printed report differs"

version="$("$root/usr/bin/kenshin-check" --version)"
[ "$version" = "kenshin-check $(dpkg-deb -f "$deb" Version)" ] || fail "--version says '$version'"
gui_version="$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/kenshin-check-gui" --version)"
[ "$gui_version" = "kenshin-check-gui $(dpkg-deb -f "$deb" Version)" ] || fail "gui --version says '$gui_version'"
echo "package ok: $(basename "$deb")"
