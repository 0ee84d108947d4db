#!/usr/bin/env bash
# Runs shellcheck, at its default level, on every shell script of the repository: the *.sh
# files and the files whose first line starts a shell. Exit 77 (skipped) without shellcheck.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v shellcheck >/dev/null 2>&1; then
    echo "SKIPPED: shellcheck is not installed (scripts/install-deps.sh installs it)" >&2
    exit 77
fi
scripts=()
while IFS= read -r -d '' file; do
    [ -f "$file" ] || continue
    if [[ $file == *.sh ]] || head -n1 "$file" | grep -qE '^#!.*\b(ba|da|k)?sh\b'; then
        scripts+=("$file")
    fi
done < <(git ls-files -z 2>/dev/null || find . -path ./build -prune -o -type f -print0)
if [ ${#scripts[@]} -eq 0 ]; then
    echo "no shell scripts found" >&2
    exit 1
fi
shellcheck "${scripts[@]}"
echo "shellcheck: ${#scripts[@]} scripts clean"
