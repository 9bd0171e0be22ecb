#!/usr/bin/env bash
# End-to-end tests: the real game in tmux at 80 x 25, on a tmux server of its own.
# Usage: run_e2e.sh path/to/quillmire
set -uo pipefail

if [ $# -ne 1 ] || [ ! -x "$1" ]; then
    echo "usage: $0 path/to/quillmire" >&2
    exit 2
fi

# UTF-8 for tmux's captures and for matching the glyphs in them.
export LANG=C.UTF-8
unset LC_ALL LC_CTYPE

here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib.sh
source "$here/lib.sh"
e2e_setup "$1"

for file in title game terminal; do
    # shellcheck disable=SC1090
    source "$here/$file.sh"
done

tm kill-session -t game 2>/dev/null
echo "$E2E_PASSED passed, $E2E_FAILED failed"
[ "$E2E_FAILED" -eq 0 ]
