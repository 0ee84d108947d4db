#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks what a desktop and a shell find there:
# the programs, the menu entry, the *.fls file type, the icon and the manual page, and that
# the installed programs run without the build tree.
# Usage: install_test.sh BUILD_DIR [--gui] [--man]
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

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
have() { command -v "$1" >/dev/null 2>&1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
if ! cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1; then
  cat "$tmp/install.log" >&2
  echo "FAIL: cmake --install" >&2
  exit 1
fi

# The installed command line works on its own.
cli=$prefix/bin/brivant-cli
[ -x "$cli" ] || fail "bin/brivant-cli missing or not executable"
if [ -x "$cli" ]; then
  "$cli" --help >"$tmp/help.txt" 2>&1 || fail "brivant-cli --help exits with $?"
  grep -q '^Usage: brivant-cli' "$tmp/help.txt" || fail "brivant-cli --help prints no usage line"
  if "$cli" demo "$tmp/x.fls" --type 3310 2>/dev/null && "$cli" info "$tmp/x.fls" --json >"$tmp/info.json"; then
    grep -q '3310' "$tmp/info.json" || fail "the installed brivant-cli does not detect its own sample"
  else
    fail "the installed brivant-cli cannot make and read a sample image"
  fi
  # The picture commands load their module from the installed tree, never from the build.
  if [ -e "$build/libbrivant_pictures.so" ]; then
    "$cli" bmp sheet "$tmp/x.fls" "$tmp/sheet.png" 2>"$tmp/sheet.err" && [ -s "$tmp/sheet.png" ] ||
      fail "the installed brivant-cli cannot draw a bitmap sheet: $(cat "$tmp/sheet.err")"
    # The program carries its own C++ runtime and the module uses the system's: a failure
    # raised in the module must still reach the program as a message and an exit status.
    "$cli" bmp sheet "$tmp/x.fls" "$tmp/no/such/folder/sheet.png" 2>"$tmp/sheet.err"
    status=$?
    [ "$status" = 1 ] && grep -q 'Cannot create file' "$tmp/sheet.err" ||
      fail "a failure inside the picture module gives exit $status: $(cat "$tmp/sheet.err")"
  fi
fi

# An installed program must not look for libraries in the build tree.
if have readelf; then
  for exe in "$prefix"/bin/*; do
    if readelf -d "$exe" | grep -E 'RPATH|RUNPATH' | grep -qF "$(cd "$build" && pwd)"; then
      fail "$(basename "$exe") keeps a library path into the build tree"
    fi
  done
fi

if [ "$man" = 1 ]; then
  page=$prefix/share/man/man1/brivant-cli.1.gz
  if [ ! -f "$page" ]; then
    fail "share/man/man1/brivant-cli.1.gz missing"
  elif ! gzip -t "$page"; then
    fail "the manual page is not a valid gzip file"
  else
    zcat "$page" >"$tmp/page.1"
    grep -q '^\.TH BRIVANT-CLI "1"' "$tmp/page.1" || fail "the manual page has no BRIVANT-CLI(1) title"
    # The page is made from the program's own --help, so it lists every subcommand the
    # installed program has; one missing means a page left over from an older build.
    subs=$(sed -n '/^Subcommands:/,$s/^  \([a-z][a-z-]*\) .*/\1/p' "$tmp/help.txt")
    [ -n "$subs" ] || fail "brivant-cli --help lists no subcommands"
    for sub in $subs; do
      grep -qx "$sub" "$tmp/page.1" || fail "the manual page does not list the subcommand '$sub'"
    done
    grep -q '^\.SH "EXIT STATUS"\|^\.SH EXIT STATUS' "$tmp/page.1" || fail "the manual page has no EXIT STATUS section"
  fi
else
  echo "NOTE: no manual page checked: help2man was missing when the build was configured" >&2
fi

if [ "$gui" = 1 ]; then
  [ -x "$prefix/bin/brivant" ] || fail "bin/brivant missing or not executable"
  desktop=$prefix/share/applications/brivant.desktop
  mime=$prefix/share/mime/packages/brivant.xml
  icon=$prefix/share/icons/hicolor/scalable/apps/brivant.svg
  for f in "$desktop" "$mime" "$icon"; do [ -f "$f" ] || fail "${f#"$prefix"/} missing"; done

  if [ -f "$desktop" ]; then
    if have desktop-file-validate; then
      desktop-file-validate "$desktop" || fail "desktop-file-validate rejects brivant.desktop"
    else
      for key in Type=Application Name= Exec= Icon= Categories= MimeType=; do
        grep -q "^$key" "$desktop" || fail "brivant.desktop has no $key line"
      done
    fi
    grep -q '^Exec=brivant %f$' "$desktop" || fail "brivant.desktop does not start brivant on one file"
    grep -q '^Categories=.*Utility;' "$desktop" || fail "brivant.desktop is not in the Utility category"
    grep -q '^Icon=brivant$' "$desktop" || fail "brivant.desktop does not name the installed icon"
  fi

  if [ -f "$mime" ] && [ -f "$desktop" ]; then
    # The type the menu entry opens must be the one the *.fls glob gives.
    type=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$mime")
    [ -n "$type" ] || fail "brivant.xml declares no MIME type"
    grep -q "^MimeType=.*$type;" "$desktop" || fail "brivant.desktop does not open $type"
    if have update-mime-database; then
      update-mime-database "$prefix/share/mime" >/dev/null 2>&1 || fail "update-mime-database rejects brivant.xml"
      grep -qx "[0-9]*:$type:\*\.fls" "$prefix/share/mime/globs2" ||
        fail "the MIME database does not map *.fls to $type"
    elif have xmllint; then
      xmllint --noout "$mime" || fail "brivant.xml is not well-formed"
    fi
  fi

  if [ -f "$icon" ]; then
    if have xmllint; then
      xmllint --noout "$icon" || fail "brivant.svg is not well-formed"
    fi
    grep -q '<svg[^>]*viewBox=' "$icon" || fail "brivant.svg has no scalable svg root"
  fi

  # The installed window starts, opens an image and draws itself.
  if [ -x "$prefix/bin/brivant" ] && [ -f "$tmp/x.fls" ]; then
    # Leaks are the window tests' business; here only starting from the prefix counts.
    ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen BRIVANT_SCREENSHOT="tones:$tmp/tones.png" \
      timeout 60 "$prefix/bin/brivant" "$tmp/x.fls" >"$tmp/window.log" 2>&1 ||
      { cat "$tmp/window.log" >&2; fail "the installed brivant does not start"; }
    [ -s "$tmp/tones.png" ] || fail "the installed brivant saved no picture of its window"
  fi
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures install check(s) failed" >&2
  exit 1
fi
echo "install checks passed"
