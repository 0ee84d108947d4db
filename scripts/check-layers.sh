#!/usr/bin/env bash
# Keeps the floors honest: a file may include its own folder and the floors below it, never
# one above; features sit side by side and use each other only where the design says so;
# Qt stays in ui/ and platform/ (and Widgets in ui/ alone). Prints every offending include
# and fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/../src"

floor() {
    case "$1" in
        core) echo 0 ;;
        image) echo 1 ;;
        ppm) echo 2 ;;
        tones | texts | menu | graphics | patches) echo 3 ;;
        app | sample) echo 4 ;;
        # Tools over the whole editor: comparison and recipes, then the image check, which
        # reads both images' subsystems through the comparison's tolerant reading.
        compare) echo 5 ;;
        check) echo 6 ;;
        platform) echo 7 ;;
        cli) echo 8 ;;
        # The window and the web page, each over the commands.
        ui | web) echo 9 ;;
        *) echo 99 ;;
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

while IFS= read -r file; do
    from=${file%%/*}
    fromFloor=$(floor "$from")
    [ "$fromFloor" = 99 ] && report "$file: folder $from has no floor"
    while IFS= read -r line; do
        target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/' <<<"$line")
        to=${target%%/*}
        [ "$to" = "$target" ] && continue  # same-folder include without a folder part
        [ "$to" = "$from" ] && continue
        toFloor=$(floor "$to")
        if allowed "$from" "$to"; then continue; fi
        if [ "$toFloor" -ge "$fromFloor" ]; then
            report "$file includes $target ($to is not below $from)"
        fi
    done < <(grep -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
    if grep -qE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$file"; then
        case "$from" in
            ui) ;;
            platform)
                if grep -qE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<(QtWidgets|QWidget|QDialog|QApplication|QMainWindow)' "$file"; then
                    report "$file includes Qt Widgets outside ui/"
                fi
                ;;
            *) report "$file includes a Qt header outside ui/ and platform/" ;;
        esac
    fi
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's#^\./##' | sort)

[ "$bad" = 0 ] && echo "layer check: every include respects the floors"
exit "$bad"
