#!/usr/bin/env bash
# Compares two snapshots made by snapshot.sh: every file must be byte-identical. Differences
# that a change means to make are listed in an exceptions file, one path (relative to the
# snapshot folder, a shell pattern) a line with its reason after a "#"; they are reported but
# do not fail the comparison.
# Usage: compare.sh OLD NEW [EXCEPTIONS]
set -uo pipefail
old=$1
new=$2
exceptions=${3:-/dev/null}
patterns=()
while IFS= read -r line; do
    line=${line%%#*}
    line=${line%"${line##*[![:space:]]}"}
    [ -n "$line" ] && patterns+=("$line")
done <"$exceptions"

excepted() {
    local pattern
    for pattern in ${patterns[@]+"${patterns[@]}"}; do
        # shellcheck disable=SC2053
        [[ $1 == $pattern ]] && return 0
    done
    return 1
}

failed=0
allowed=0
same=0
while IFS= read -r path; do
    if [ ! -e "$old/$path" ] || [ ! -e "$new/$path" ] || ! cmp -s "$old/$path" "$new/$path"; then
        if excepted "$path"; then
            echo "expected difference: $path"
            allowed=$((allowed + 1))
        else
            echo "DIFFERS: $path"
            failed=$((failed + 1))
        fi
    else
        same=$((same + 1))
    fi
done < <( (cd "$old" && find . -type f; cd "$new" && find . -type f) | sed 's|^\./||' | LC_ALL=C sort -u)
echo "$same identical, $allowed expected differences, $failed unexpected differences"
[ "$failed" -eq 0 ]
