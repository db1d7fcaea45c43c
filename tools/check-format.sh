#!/usr/bin/env bash
# Fails when a C or C++ file of the tree differs from what the repository's .clang-format
# makes of it, and names those files. Build directories are not ours and are skipped.
set -euo pipefail
cd "$(dirname "$0")/.."

unformatted=()
while IFS= read -r -d '' file; do
    if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then
        unformatted+=("$file")
    fi
done < <(find . \( -path './build*' -o -path './.git' -o -path './.cache' \) -prune -o \
    -type f \( -name '*.c' -o -name '*.cc' -o -name '*.cpp' -o -name '*.h' -o -name '*.hpp' \) \
    -print0 | sort -z)

if [ ${#unformatted[@]} -gt 0 ]; then
    printf 'check-format: not formatted: %s\n' "${unformatted[@]}" >&2
    echo "check-format: run clang-format -i on them" >&2
    exit 1
fi
echo "check-format: all files formatted"
