#!/usr/bin/env bash
# Kills the save of each data file at every write, fsync, rename, link and unlink it makes,
# one kill point at a time, and checks after each kill that the file is byte for byte the old
# or the new version and loads. Usage: kill_during_save.sh SAVEDRIVER
set -uo pipefail
driver=$1
command -v strace >/dev/null || { echo "SKIP: strace is missing (scripts/setup.sh installs it)"; exit 77; }
strace -o /dev/null true 2>/dev/null || { echo "SKIP: strace may not trace here (ptrace is not allowed)"; exit 77; }
# LeakSanitizer stops the world with ptrace, which strace already holds.
export ASAN_OPTIONS=detect_leaks=0

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
files="grid:grid.grd grid:gridNon.grd grid:gridComp.grd grid:holiday.grd category:category.xxx settings:Task.ini"
syscalls="write fsync fdatasync rename renameat renameat2 link linkat unlink unlinkat"
tried=0
corrupt=0

for entry in $files; do
  kind=${entry%%:*}
  name=${entry#*:}
  # The two versions as a save writes them, for comparison.
  mkdir -p "$work/ref-old" "$work/ref-new"
  "$driver" "$kind" "$work/ref-old/$name" old || { echo "cannot write the old $name"; exit 1; }
  "$driver" "$kind" "$work/ref-new/$name" new || { echo "cannot write the new $name"; exit 1; }
  kills=0
  for call in $syscalls; do
    n=1
    while [ "$n" -le 400 ]; do
      dir="$work/run"
      rm -rf "$dir" && mkdir -p "$dir"
      cp "$work/ref-old/$name" "$dir/$name"
      strace -f -o /dev/null -e trace="$call" -e inject="$call":signal=KILL:when="$n" \
        "$driver" "$kind" "$dir/$name" new 2>/dev/null
      status=$?
      tried=$((tried + 1))
      if cmp -s "$dir/$name" "$work/ref-old/$name" || cmp -s "$dir/$name" "$work/ref-new/$name"; then
        if ! "$driver" "$kind" "$dir/$name" check; then
          echo "$name, kill at $call #$n: the file does not load"
          corrupt=$((corrupt + 1))
        fi
      else
        echo "$name, kill at $call #$n: the file is neither the old nor the new version"
        corrupt=$((corrupt + 1))
      fi
      # A run that was not killed made all its calls: the next kill point would not be reached.
      [ "$status" -ne 137 ] && break
      kills=$((kills + 1))
      n=$((n + 1))
    done
  done
  rm -rf "$work/ref-old" "$work/ref-new"
  echo "$name: killed at $kills points"
  # A kill that never happened would prove nothing.
  [ "$kills" -gt 0 ] || { echo "$name: no save call was ever killed"; exit 1; }
done

echo "kill points tried: $tried, files found torn or unreadable: $corrupt"
[ "$corrupt" -eq 0 ]
