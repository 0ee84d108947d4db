#!/usr/bin/env bash
# The window's resources are the same bytes whatever times the checkout gave the files: the
# build's own resource-compiler command, run twice on the icon with two modification times,
# writes the same file, and it runs with SOURCE_DATE_EPOCH set.
# Usage: resource_test.sh BUILD_DIR
set -uo pipefail
build=$1

if [[ ! -f $build/build.ninja ]] || ! command -v ninja >/dev/null 2>&1; then
  echo "SKIP: needs a Ninja build" >&2
  exit 77
fi
command=$(ninja -C "$build" -t commands brivant 2>/dev/null | grep -m1 -- '/rcc ')
if [[ -z $command ]]; then
  echo "SKIP: this build has no window resources" >&2
  exit 77
fi
if [[ $command != *SOURCE_DATE_EPOCH=* ]]; then
  echo "FAIL: the resource compiler runs without SOURCE_DATE_EPOCH: $command" >&2
  exit 1
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# The command's own resource list, pointing at a copy of each file it names.
qrc=$(grep -o '[^ ]*\.qrc' <<<"$command" | tail -1)
output=$(grep -o -- '--output [^ ]*' <<<"$command" | head -1 | cut -d' ' -f2)
if [[ -z $qrc || -z $output ]]; then
  echo "FAIL: cannot read the resource command: $command" >&2
  exit 1
fi
[[ $qrc = /* ]] || qrc=$build/$qrc
sed 's|>\([^<]*\)/\([^/<]*\)</file>|>'"$tmp"'/\2</file>|' "$qrc" >"$tmp/res.qrc"
grep -o '>[^<]*</file>' "$qrc" | sed 's|^>||; s|</file>$||' | while read -r file; do
  cp "$file" "$tmp/"
done

compile() {
  touch -d "$1" "$tmp"/*.svg
  local c=${command//$qrc/$tmp/res.qrc}
  c=${c//$output/$tmp/$2}
  (cd "$build" && eval "$c") || { echo "FAIL: $c" >&2; exit 1; }
}
compile "2001-02-03 04:05:06" first.cpp
compile "2019-08-07 06:05:04" second.cpp
if ! cmp -s "$tmp/first.cpp" "$tmp/second.cpp"; then
  echo "FAIL: the compiled resources depend on the files' times" >&2
  diff "$tmp/first.cpp" "$tmp/second.cpp" | head -20 >&2
  exit 1
fi
echo "ok: the compiled resources do not depend on the files' times"
