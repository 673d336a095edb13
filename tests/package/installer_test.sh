#!/bin/sh
# The release's installer. Where Wine runs 32-bit programs it is used as a
# user would: a silent install into a fresh folder, the installed harvio.exe
# started and closed, the shortcuts and the Uninstall values, an update over
# the folder once it holds a task and pictures, and a silent uninstall that
# removes the program but keeps them. Where it cannot run (the x86_64 path),
# 7-Zip unpacks it and its files are compared with the zip's.
#
# Usage: installer_test.sh DIST VERSION RUN-WINE START-TEST NATIVE-CLI
set -u
DIST=$1
VERSION=$2
RUN_WINE=$3
START_TEST=$4
CLI=$5
SETUP=$DIST/harvio-$VERSION-setup.exe
. "$(dirname "$0")/../fixture.sh"
make_work installer
KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Harvio'
VALUES="DisplayName DisplayVersion Publisher DisplayIcon UninstallString
QuietUninstallString EstimatedSize NoModify NoRepair"

[ -f "$SETUP" ] || fail "no $SETUP"
7z x -o"$WORK/zip" "$DIST/harvio-$VERSION-win32.zip" >/dev/null || fail "no zip to compare"

if [ "${HARVIO_WINE_ARCH:-}" = win64 ] || ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "installer: on the x86_64 path the 32-bit installer cannot run under Wine; unpacked with 7-Zip and its contents checked instead"
  7z x -o"$WORK/unpacked" "$SETUP" >/dev/null || fail "7-Zip cannot unpack the installer"
  7z l "$SETUP" | grep -q '^SubType = NSIS-3 Unicode' || fail "not a Unicode installer"
  [ -f "$WORK/unpacked/uninstall.exe" ] || fail "no uninstaller"
  rm -rf "$WORK/unpacked/uninstall.exe" "$WORK/unpacked/\$PLUGINSDIR"
  diff -r "$WORK/zip" "$WORK/unpacked" || fail "the installer's files are not the zip's"
  echo ok
  exit 0
fi

DIR=$WORK/Harvio
install() { "$RUN_WINE" "$SETUP" /S "/D=$(zpath "$DIR")" || fail "silent install $1"; }
# registry_values: the Uninstall key's values, or nothing when it is gone
# (Wine's reg tells that on its standard output).
registry_values() {
  query=$("$RUN_WINE" --side-of "$SETUP" --env wine reg query "$KEY" 2>/dev/null) &&
    printf '%s\n' "$query" | tr -d '\r'
  "$RUN_WINE" --side-of "$SETUP" --env wineserver --wait
}
start_menu=$("$RUN_WINE" --side-of "$SETUP" --env sh -c 'echo "$WINEPREFIX"')/drive_c/users
shortcut_count() {
  find "$start_menu" -path '*/Start Menu/Programs/Harvio/*' \( -name Harvio.lnk \
    -o -name '软件简介.lnk' -o -name '卸载 Harvio.lnk' \) | wc -l
}

install "failed"
for f in harvio.exe harvio-cli.exe Introduction.chm 说明.txt ad/0.html uninstall.exe; do
  [ -f "$DIR/$f" ] || fail "$f was not installed"
done
cmp -s "$DIR/harvio.exe" "$WORK/zip/harvio.exe" || fail "the installed harvio.exe is not the zip's"
"$RUN_WINE" "$START_TEST" "$(zpath "$DIR/harvio.exe")" | grep -q '^ok' ||
  fail "the installed harvio.exe did not start and close cleanly"
[ "$(shortcut_count)" -eq 3 ] || fail "the three Start-menu shortcuts are not there"
values=$(registry_values)
for name in $VALUES; do
  echo "$values" | grep -q "^ *$name " || fail "no Uninstall value $name"
done
echo "$values" | grep -q "DisplayVersion *REG_SZ *$VERSION\$" || fail "DisplayVersion is not $VERSION"

"$CLI" --home "$DIR" new --source 161 --url 'http://site.test/(*).jpg' --from 1 --to 2 \
  --save "$(zpath "$DIR/pictures")\\" >/dev/null || fail "new task"
mkdir -p "$DIR/pictures" && echo picture >"$DIR/pictures/1.jpg"
[ -f "$DIR/Option.ini" ] || fail "harvio.exe wrote no Option.ini beside itself"
cp -r "$DIR/Task" "$DIR/Option.ini" "$WORK/"
install "over a task failed"
diff -r "$WORK/Task" "$DIR/Task" >/dev/null || fail "an update changed the task files"
cmp -s "$WORK/Option.ini" "$DIR/Option.ini" || fail "an update changed Option.ini"
[ "$("$CLI" --home "$DIR" list | tail -n +2 | wc -l)" -eq 1 ] || fail "the task is gone after an update"

"$RUN_WINE" "$DIR/uninstall.exe" /S || fail "silent uninstall failed"
for f in harvio.exe harvio-cli.exe Introduction.chm 说明.txt ad uninstall.exe; do
  [ -e "$DIR/$f" ] && fail "the uninstaller left $f"
done
[ -n "$(registry_values)" ] && fail "the uninstaller left the Uninstall key"
[ "$(shortcut_count)" -eq 0 ] || fail "the uninstaller left Start-menu shortcuts"
diff -r "$WORK/Task" "$DIR/Task" >/dev/null || fail "the uninstaller touched the tasks"
[ -f "$DIR/Option.ini" ] || fail "the uninstaller removed Option.ini"
[ -f "$DIR/pictures/1.jpg" ] || fail "the uninstaller removed a picture"
echo ok
