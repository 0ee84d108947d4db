#!/usr/bin/env bash
# Makes the Debian package of a build and checks that it holds the installed files and names
# the Qt libraries the programs load among its dependencies.
# Usage: deb_test.sh BUILD_DIR [--gui] [--man]
set -uo pipefail
build=$1
shift
gui=0 man=0
for a in "$@"; do
  case $a in
    --gui) gui=1 ;;
    --man) man=1 ;;
  esac
done
for tool in cpack dpkg-deb; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIPPED: $tool is not installed (scripts/install-deps.sh installs it)" >&2
    exit 77
  fi
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$tmp" >"$tmp/cpack.log" 2>&1; then
  cat "$tmp/cpack.log" >&2
  echo "FAIL: cpack -G DEB" >&2
  exit 1
fi
debs=("$tmp"/brivant-pro_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "FAIL: cpack made no brivant-pro_*.deb" >&2
  exit 1
fi
deb=${debs[0]}

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

dpkg-deb -c "$deb" | awk '{print $NF}' >"$tmp/files"
want=(./usr/bin/brivant-cli)
[ "$man" = 1 ] && want+=(./usr/share/man/man1/brivant-cli.1.gz)
[ "$gui" = 1 ] && want+=(./usr/bin/brivant ./usr/share/applications/brivant.desktop
                         ./usr/share/mime/packages/brivant.xml
                         ./usr/share/icons/hicolor/scalable/apps/brivant.svg)
for f in "${want[@]}"; do
  grep -qxF "$f" "$tmp/files" || fail "the package does not hold ${f#.}"
done

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
needed=(libqt6gui6)
[ "$gui" = 1 ] && needed+=(libqt6widgets6)
for lib in "${needed[@]}"; do
  grep -qE "(^|, )$lib[a-z0-9]*( |,|$)" <<<"$depends" || fail "the package does not depend on $lib"
done
[ "$(dpkg-deb -f "$deb" Package)" = brivant-pro ] || fail "the package is not named brivant-pro"

if [ "$failures" -ne 0 ]; then
  echo "$failures package check(s) failed" >&2
  exit 1
fi
echo "package checks passed: $(basename "$deb")"
