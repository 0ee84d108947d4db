#!/usr/bin/env bash
# Makes the Debian package of a build and checks that it holds the installed files, names
# the Qt libraries the programs load among its dependencies, passes lintian without an error
# or a warning (its info tags are shown), and comes out byte for byte the same when made again.
# Usage: deb_test.sh BUILD_DIR [--gui]
set -uo pipefail
build=$1
shift
gui=0
for a in "$@"; do
  case $a in
    --gui) gui=1 ;;
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
want=(./usr/bin/brivant-cli ./usr/share/man/man1/brivant-cli.1.gz
      ./usr/share/doc/brivant-pro/copyright ./usr/share/doc/brivant-pro/changelog.gz
      ./usr/share/bash-completion/completions/brivant-cli
      ./usr/share/zsh/vendor-completions/_brivant-cli)
[ "$gui" = 1 ] && want+=(./usr/bin/brivant ./usr/share/applications/brivant.desktop
                         ./usr/share/mime/packages/brivant.xml
                         ./usr/share/icons/hicolor/scalable/apps/brivant.svg
                         ./usr/share/man/man1/brivant.1.gz
                         ./usr/share/metainfo/invalid.brivant.brivantpro.metainfo.xml)
for f in "${want[@]}"; do
  grep -qxF "$f" "$tmp/files" || fail "the package does not hold ${f#.}"
done

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
needed=(libqt6gui6)
[ "$gui" = 1 ] && needed+=(libqt6widgets6)
for lib in "${needed[@]}"; do
  grep -qE "(^|, )${lib}[a-z0-9]*( |,|$)" <<<"$depends" || fail "the package does not depend on $lib"
done
[ "$(dpkg-deb -f "$deb" Package)" = brivant-pro ] || fail "the package is not named brivant-pro"
# No maintainer script: nothing in the package needs ldconfig or anything else run.
dpkg-deb -I "$deb" | grep -qE ' (postinst|postrm|preinst|prerm|triggers) ' &&
  fail "the package has maintainer scripts: $(dpkg-deb -I "$deb" | grep -E 'post|pre|trig')"

# The same build packed again gives the same bytes: every date in it is the commit's.
mkdir -p "$tmp/again"
if cpack --config "$build/CPackConfig.cmake" -G DEB -B "$tmp/again" >"$tmp/cpack2.log" 2>&1; then
  again=("$tmp"/again/brivant-pro_*.deb)
  cmp -s "$deb" "${again[0]}" || fail "two packages of one build differ"
else
  fail "cpack -G DEB failed the second time: $(cat "$tmp/cpack2.log")"
fi

if command -v lintian >/dev/null 2>&1; then
  # A sanitizer build is no package anyone ships: its tags are shown, not held against it
  # (the override for merged string tails, for one, fits optimised builds only).
  strict=1
  dpkg-deb -f "$deb" Depends | grep -q libasan && strict=0
  lintian --fail-on error,warning --display-info --pedantic --tag-display-limit 0 "$deb" \
    >"$tmp/lintian.txt" 2>&1
  status=$?
  if [ -s "$tmp/lintian.txt" ]; then
    echo "lintian says:"
    cat "$tmp/lintian.txt"
  fi
  [ "$status" = 0 ] || [ "$strict" = 0 ] || fail "lintian finds errors or warnings (exit $status)"
else
  echo "NOTE: lintian is not installed: the package was not checked by it" >&2
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures package check(s) failed" >&2
  exit 1
fi
echo "package checks passed: $(basename "$deb")"
