#!/usr/bin/env bash
# Fails when a C++ source of the project is not formatted by .clang-format.
set -euo pipefail
cd "$(dirname "$0")/.."
status=0
while IFS= read -r file; do
    [ -f "$file" ] || continue
    if ! clang-format --dry-run -Werror "$file" >/dev/null 2>&1; then
        echo "not formatted: $file"
        status=1
    fi
done < <(git ls-files '*.cpp' '*.h')
exit $status
