#!/usr/bin/env bash
# Kills the save of each data file at every write, fsync, rename, link and unlink it makes,
# one kill point at a time, and checks after each kill that the file is byte for byte the old
# or the new version and loads. Then kills a restore and "Clear all data", which replace
# several files, the same way, and checks after the start that follows (which finishes or
# takes back what was interrupted) that the data files are all old or all new, never some of
# each. Usage: kill_during_save.sh SAVEDRIVER
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

# The data files of a folder of the driver: "old", "new" (as the uninterrupted run left them)
# or "mixed".
datafiles="grid.grd gridNon.grd gridComp.grd"
classify() {
  local old=1 new=1
  for f in $datafiles; do
    cmp -s "$1/data/$f" "$work/ref-old/data/$f" || old=0
    cmp -s "$1/data/$f" "$work/ref-new/data/$f" || new=0
  done
  if [ "$old" -eq 1 ]; then echo old; elif [ "$new" -eq 1 ]; then echo new; else echo mixed; fi
}

replacing_tried=0
replacing_mixed=0
for action in restore clear; do
  case $action in
    restore) replaced="grid.grd gridNon.grd gridComp.grd" ;;
    clear) replaced="grid.grd gridNon.grd" ;;
  esac
  rm -rf "$work/ref-old" "$work/ref-new"
  mkdir -p "$work/ref-old" "$work/ref-new"
  "$driver" "$action" "$work/ref-old" setup || { echo "cannot set up the $action"; exit 1; }
  { "$driver" "$action" "$work/ref-new" setup && "$driver" "$action" "$work/ref-new" run; } \
    || { echo "the $action does not run"; exit 1; }
  [ "$(classify "$work/ref-new")" = new ] && ! cmp -s "$work/ref-old/data/grid.grd" "$work/ref-new/data/grid.grd" \
    || { echo "the $action changes nothing"; exit 1; }
  kills=0
  midway=0
  finished=0
  undone=0
  mixed=0
  for call in $syscalls; do
    n=1
    while [ "$n" -le 400 ]; do
      dir="$work/run"
      rm -rf "$dir" && mkdir -p "$dir"
      "$driver" "$action" "$dir" setup || { echo "cannot set up the $action"; exit 1; }
      strace -f -o /dev/null -e trace="$call" -e inject="$call":signal=KILL:when="$n" \
        "$driver" "$action" "$dir" run 2>/dev/null
      status=$?
      replacing_tried=$((replacing_tried + 1))
      where="$action, kill at $call #$n"
      # Killed with a replacement under way: the files are some of each, or the marker says so.
      if [ "$status" -eq 137 ] && { [ "$(classify "$dir")" = mixed ] || [ -e "$dir/data/replacing.pending" ]; }; then
        midway=$((midway + 1))
      fi
      if ! "$driver" "$action" "$dir" check 2>"$work/said"; then
        echo "$where: the next start failed"
        corrupt=$((corrupt + 1))
      fi
      grep -q "it has now been completed" "$work/said" && finished=$((finished + 1))
      grep -q "it has been undone" "$work/said" && undone=$((undone + 1))
      found=$(classify "$dir")
      if [ "$found" = mixed ]; then
        echo "$where: after the next start the data files are some old, some new"
        mixed=$((mixed + 1))
      elif [ "$found" = new ]; then
        for f in $replaced; do
          if ! cmp -s "$dir/data/$f.before-$action-20260131-100000" "$work/ref-old/data/$f"; then
            echo "$where: the new $f is in place, but the old one is not kept"
            corrupt=$((corrupt + 1))
          fi
        done
      fi
      if [ -e "$dir/data/replacing.pending" ] || ls -A "$dir/data" | grep -q '\.tmp-'; then
        echo "$where: the next start left the replacement's files behind"
        corrupt=$((corrupt + 1))
      fi
      [ "$status" -ne 137 ] && break
      kills=$((kills + 1))
      n=$((n + 1))
    done
  done
  echo "$action: killed at $kills points, $midway of them mid-way; the next start completed $finished" \
    "and undid $undone; data files some old, some new after it: $mixed"
  [ "$kills" -gt 0 ] || { echo "$action: no call was ever killed"; exit 1; }
  replacing_mixed=$((replacing_mixed + mixed))
done

echo "kill points tried: $tried saves and $replacing_tried replacements," \
  "files found torn or unreadable: $corrupt, mixed sets: $replacing_mixed"
[ "$corrupt" -eq 0 ] && [ "$replacing_mixed" -eq 0 ]
