#!/usr/bin/env bash
# Fails each data file's save with ENOSPC and EIO on write, fsync and rename, once and on
# every call: the save must report the failure, leave the old file as it was, and the next
# save (the fault gone) must succeed. Usage: failing_disk.sh SAVEDRIVER
set -uo pipefail
driver=$1
command -v strace >/dev/null || { echo "SKIP: strace is missing (scripts/setup.sh installs it)"; exit 77; }
strace -o /dev/null true 2>/dev/null || { echo "SKIP: strace may not trace here (ptrace is not allowed)"; exit 77; }
export ASAN_OPTIONS=detect_leaks=0

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
files="grid:grid.grd grid:gridNon.grd grid:gridComp.grd grid:holiday.grd category:category.xxx settings:Task.ini"
tried=0
lost=0

for entry in $files; do
  kind=${entry%%:*}
  name=${entry#*:}
  mkdir -p "$work/ref-old" "$work/ref-new"
  "$driver" "$kind" "$work/ref-old/$name" old && "$driver" "$kind" "$work/ref-new/$name" new \
    || { echo "cannot write the reference versions of $name"; exit 1; }
  for call in write fsync rename; do
    for error in ENOSPC EIO; do
      for when in 1 1+; do
        dir="$work/run"
        rm -rf "$dir" && mkdir -p "$dir"
        cp "$work/ref-old/$name" "$dir/$name"
        strace -f -o /dev/null -e trace="$call" -e inject="$call":error="$error":when="$when" \
          "$driver" "$kind" "$dir/$name" new 2>"$work/report"
        status=$?
        tried=$((tried + 1))
        where="$name, $error on $call ($when)"
        if ! cmp -s "$dir/$name" "$work/ref-old/$name" && ! cmp -s "$dir/$name" "$work/ref-new/$name"; then
          echo "$where: the file is neither the old nor the new version"
          lost=$((lost + 1))
        elif [ "$status" -eq 0 ] && ! cmp -s "$dir/$name" "$work/ref-new/$name"; then
          echo "$where: the save said it succeeded, but the file is the old one"
          lost=$((lost + 1))
        fi
        # The fault gone, the next save succeeds.
        if ! "$driver" "$kind" "$dir/$name" new || ! cmp -s "$dir/$name" "$work/ref-new/$name"; then
          echo "$where: the next save did not succeed"
          lost=$((lost + 1))
        fi
      done
    done
  done
  rm -rf "$work/ref-old" "$work/ref-new"
done

echo "injected faults tried: $tried, faults that lost data or were not reported: $lost"
[ "$lost" -eq 0 ]
