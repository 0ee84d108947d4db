#!/usr/bin/env bash
# Keeps the floors honest: a file may include its own folder and the floors below it, never
# one above; features sit side by side and use each other only where the design says so;
# Qt stays in ui/ and platform/ (and Widgets in ui/ alone). Prints every offending include
# and fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/../src"

# Sets f to the floor of folder $1 (a variable, not output: the check runs it for every
# include, and a subshell each time made it take half a minute).
floor() {
    case "$1" in
        core) f=0 ;;
        image) f=1 ;;
        ppm) f=2 ;;
        tones | texts | menu | graphics | patches) f=3 ;;
        app | sample) f=4 ;;
        # Tools over the whole editor: comparison and recipes, then the image check, which
        # reads both images' subsystems through the comparison's tolerant reading.
        compare) f=5 ;;
        check) f=6 ;;
        platform) f=7 ;;
        cli) f=8 ;;
        # The window and the web page, each over the commands.
        ui | web) f=9 ;;
        *) f=99 ;;
    esac
}

# Feature to feature (and side-by-side) uses the design allows: menus read the language
# texts; the command line may use the platform adapters.
allowed() {
    case "$1>$2" in
        menu\>texts | cli\>platform | ui\>platform) return 0 ;;
        *) return 1 ;;
    esac
}

bad=0
report() {
    echo "layer check: $1" >&2
    bad=1
}

include_re='^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)"'
qt_re='^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q'
widgets_re='^[[:space:]]*#[[:space:]]*include[[:space:]]*<(QtWidgets|QWidget|QDialog|QApplication|QMainWindow)'
while IFS= read -r file; do
    from=${file%%/*}
    floor "$from"
    fromFloor=$f
    [ "$fromFloor" = 99 ] && report "$file: folder $from has no floor"
    qt=0
    widgets=0
    while IFS= read -r line; do
        if [[ $line =~ $qt_re ]]; then
            qt=1
            [[ $line =~ $widgets_re ]] && widgets=1
            continue
        fi
        [[ $line =~ $include_re ]] || continue
        target=${BASH_REMATCH[1]}
        to=${target%%/*}
        [ "$to" = "$target" ] && continue  # same-folder include without a folder part
        [ "$to" = "$from" ] && continue
        floor "$to"
        toFloor=$f
        if allowed "$from" "$to"; then continue; fi
        if [ "$toFloor" -ge "$fromFloor" ]; then
            report "$file includes $target ($to is not below $from)"
        fi
    done < <(grep -E '^[[:space:]]*#[[:space:]]*include' "$file" || true)
    if [ "$qt" = 1 ]; then
        case "$from" in
            ui) ;;
            platform)
                [ "$widgets" = 1 ] && report "$file includes Qt Widgets outside ui/"
                ;;
            *) report "$file includes a Qt header outside ui/ and platform/" ;;
        esac
    fi
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's#^\./##' | sort)

[ "$bad" = 0 ] && echo "layer check: every include respects the floors"
exit "$bad"
