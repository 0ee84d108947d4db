#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks what a desktop and a shell find there:
# the programs, the menu entry, the *.fls file type, the icon, the AppStream metainfo, the
# manual pages and the shell completions, and that the installed programs run without the
# build tree.
# Usage: install_test.sh BUILD_DIR [--gui]
set -uo pipefail
build=$1
shift
gui=0
for a in "$@"; do
  case $a in
    --gui) gui=1 ;;
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
  version=$("$cli" --version) || fail "brivant-cli --version exits with $?"
  [[ $version =~ ^brivant-cli\ [0-9] ]] || fail "brivant-cli --version prints '$version'"
  if "$cli" demo "$tmp/x.fls" --type 3310 2>/dev/null && "$cli" info "$tmp/x.fls" --json >"$tmp/info.json"; then
    grep -q '3310' "$tmp/info.json" || fail "the installed brivant-cli does not detect its own sample"
  else
    fail "the installed brivant-cli cannot make and read a sample image"
  fi
  # The picture commands load their module from the installed tree, never from the build.
  if [ -e "$build/libbrivant_pictures.so" ]; then
    if ! "$cli" bmp sheet "$tmp/x.fls" "$tmp/sheet.png" 2>"$tmp/sheet.err" || [ ! -s "$tmp/sheet.png" ]; then
      fail "the installed brivant-cli cannot draw a bitmap sheet: $(cat "$tmp/sheet.err")"
    fi
    # The program carries its own C++ runtime and the module uses the system's: a failure
    # raised in the module must still reach the program as a message and an exit status.
    "$cli" bmp sheet "$tmp/x.fls" "$tmp/no/such/folder/sheet.png" 2>"$tmp/sheet.err"
    status=$?
    if [ "$status" != 1 ] || ! grep -q 'Cannot create file' "$tmp/sheet.err"; then
      fail "a failure inside the picture module gives exit $status: $(cat "$tmp/sheet.err")"
    fi
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

# The manual pages: one section per command the installed program has, the sections a
# reader looks for, and no warning from a manual page checker.
check_page() {  # NAME, then the sections it must have
  local name=$1 page=$prefix/share/man/man1/$1.1.gz section
  shift
  if [ ! -f "$page" ]; then
    fail "share/man/man1/$name.1.gz missing"
    return
  fi
  if ! gzip -t "$page"; then
    fail "$name.1.gz is not a valid gzip file"
    return
  fi
  zcat "$page" >"$tmp/$name.1"
  grep -qi "^\.TH $name 1 [0-9]\{4\}-[0-9][0-9]-[0-9][0-9] " "$tmp/$name.1" ||
    fail "$name.1 has no dated $name(1) title"
  for section in "$@"; do
    grep -q "^\.SH \"\?$section\"\?\$" "$tmp/$name.1" || fail "$name.1 has no $section section"
  done
  if have mandoc; then
    mandoc -Tlint -Wwarning "$tmp/$name.1" >"$tmp/lint.txt" 2>&1 ||
      fail "mandoc -Tlint warns about $name.1: $(cat "$tmp/lint.txt")"
  elif have groff; then
    groff -man -ww -z "$tmp/$name.1" 2>"$tmp/lint.txt"
    [ -s "$tmp/lint.txt" ] && fail "groff warns about $name.1: $(cat "$tmp/lint.txt")"
  fi
}
check_page brivant-cli NAME SYNOPSIS DESCRIPTION COMMANDS "PHONE TYPES" "FILE FORMATS" \
  ENVIRONMENT "EXIT STATUS" "SEE ALSO"
if [ -f "$tmp/brivant-cli.1" ]; then
  for var in BRIVANT_SCREENSHOT BRIVANT_STARTUP_TIMING; do
    grep -q "$var" "$tmp/brivant-cli.1" || fail "brivant-cli.1 does not name $var"
  done
  # Every command the program lists in its help has its own section.
  subs=$(sed -n '/^Subcommands:/,$s/^  \([a-z][a-z-]*\) .*/\1/p' "$tmp/help.txt")
  [ -n "$subs" ] || fail "brivant-cli --help lists no subcommands"
  for sub in $subs; do
    grep -q "^\.SS \"$sub\( [a-z-]*\)\?\"" "$tmp/brivant-cli.1" ||
      fail "the manual page has no section for the command '$sub'"
  done
fi

# The bash completion, generated from the command table, completes commands and
# subcommands; the zsh one is installed beside it.
completion=$prefix/share/bash-completion/completions/brivant-cli
[ -f "$prefix/share/zsh/vendor-completions/_brivant-cli" ] || fail "the zsh completion is missing"
if [ ! -f "$completion" ]; then
  fail "share/bash-completion/completions/brivant-cli missing"
else
  complete_words() {  # the words bash offers after the given command line
    bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
             _brivant_cli; printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" "$@"
  }
  got=$(complete_words brivant-cli bm | tr '\n' ' ')
  [ "$got" = "bmp " ] || fail "bash completes 'brivant-cli bm' to '$got'"
  got=$(complete_words brivant-cli bmp i | tr '\n' ' ')
  [ "$got" = "import import-all " ] || fail "bash completes 'brivant-cli bmp i' to '$got'"
  got=$(complete_words brivant-cli info x.fls --j | tr '\n' ' ')
  [ "$got" = "--json " ] || fail "bash completes 'brivant-cli info x.fls --j' to '$got'"
  # Values of a list: an alert kind, --format, --type.
  got=$(complete_words brivant-cli alert export x.fls s | tr '\n' ' ')
  [ "$got" = "standard special start-shut system-error " ] ||
    fail "bash completes 'brivant-cli alert export x.fls s' to '$got'"
  got=$(complete_words brivant-cli ani export x.fls 000 a --format "" | tr '\n' ' ')
  [ "$got" = "gif png " ] || fail "bash completes 'ani export ... --format' to '$got'"
  got=$(complete_words brivant-cli check x.fls --type 62 | tr '\n' ' ')
  [ "$got" = "62XX/7110 " ] || fail "bash completes 'check x.fls --type 62' to '$got'"
fi

# The package's documents: the licence terms and the history.
for f in copyright changelog.gz; do
  [ -f "$prefix/share/doc/brivant-pro/$f" ] || fail "share/doc/brivant-pro/$f missing"
done

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

  check_page brivant NAME SYNOPSIS DESCRIPTION OPTIONS ENVIRONMENT "EXIT STATUS" "SEE ALSO"
  version=$(QT_QPA_PLATFORM=none "$prefix/bin/brivant" --version 2>&1) ||
    fail "brivant --version exits with $?: $version"
  [[ $version =~ ^brivant\ [0-9] ]] || fail "brivant --version prints '$version'"
  # A version that cannot be written is a failure, told on stderr.
  if [ -w /dev/full ]; then
    QT_QPA_PLATFORM=none "$prefix/bin/brivant" --version >/dev/full 2>"$tmp/full.err"
    status=$?
    if [ "$status" != 1 ] || ! grep -q 'Cannot write to standard output' "$tmp/full.err"; then
      fail "brivant --version > /dev/full exits with $status: $(cat "$tmp/full.err")"
    fi
  fi
  # A wrong option is a usage message and status 2, before any window could open.
  QT_QPA_PLATFORM=none "$prefix/bin/brivant" --no-such-option >"$tmp/opt.out" 2>"$tmp/opt.err"
  status=$?
  if [ "$status" != 2 ] || ! grep -q '^Usage: brivant' "$tmp/opt.err" || [ -s "$tmp/opt.out" ]; then
    fail "brivant --no-such-option gives exit $status: $(cat "$tmp/opt.err")"
  fi

  metainfo=$prefix/share/metainfo/invalid.brivant.brivantpro.metainfo.xml
  if [ ! -f "$metainfo" ]; then
    fail "share/metainfo/invalid.brivant.brivantpro.metainfo.xml missing"
  elif have appstreamcli; then
    appstreamcli validate --pedantic --no-net "$metainfo" >"$tmp/appstream.txt" 2>&1 ||
      fail "appstreamcli rejects the metainfo: $(cat "$tmp/appstream.txt")"
    grep -q 'brivant.desktop' "$metainfo" || fail "the metainfo names no launchable"
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
