#!/usr/bin/env bash
# Installs the build into a temporary prefix, compares the installed tree with the expected
# list, validates the desktop entry and the AppStream metadata, and starts the installed
# program from another folder.
# Usage: check_install.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
(cd "$prefix" && find . -type f | sort) > "$prefix.list"
expected="./bin/tallyday
./share/applications/tallyday.desktop
./share/icons/hicolor/128x128/apps/tallyday.png
./share/icons/hicolor/16x16/apps/tallyday.png
./share/icons/hicolor/22x22/apps/tallyday.png
./share/icons/hicolor/256x256/apps/tallyday.png
./share/icons/hicolor/32x32/apps/tallyday.png
./share/icons/hicolor/48x48/apps/tallyday.png
./share/icons/hicolor/64x64/apps/tallyday.png
./share/icons/hicolor/scalable/apps/tallyday.svg
./share/metainfo/tallyday.metainfo.xml"
echo "installed:"
cat "$prefix.list"
if [ "$(cat "$prefix.list")" != "$expected" ]; then
  echo "the installed tree is not the expected one"
  diff <(echo "$expected") "$prefix.list" || true
  rm -f "$prefix.list"
  exit 1
fi
rm -f "$prefix.list"

for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (scripts/setup.sh installs it)"; exit 77; }
done
desktop-file-validate "$prefix/share/applications/tallyday.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/tallyday.metainfo.xml"

# The installed program from another folder, with its own data and settings folders: it
# starts, puts its alarm sound (from inside itself) into the data folder, and ends cleanly.
work=$(mktemp -d)
trap 'rm -rf "$prefix" "$work"' EXIT
cd "$work"
TALLYDAY_HOME="$work/data" XDG_CONFIG_HOME="$work/config" HOME="$work" QT_QPA_PLATFORM=offscreen \
  QT_LOGGING_RULES="tallyday.shell.info=true" \
  "$prefix/bin/tallyday" 2>"$work/log" &
program=$!
for _ in $(seq 1 200); do
  grep -q "ready" "$work/log" && break
  sleep 0.1
done
kill -TERM "$program"
status=0
wait "$program" || status=$?
cat "$work/log"
grep -q "ready" "$work/log" || { echo "the installed program did not get ready"; exit 1; }
[ -s "$work/data/alarm.wav" ] || { echo "the installed program did not find its alarm sound"; exit 1; }
[ "$status" -eq 0 ] || { echo "the installed program ended with $status"; exit 1; }
echo "the installed program ran from $work"
