#!/usr/bin/env bash
# Copies the listed members of the real-JCL corpus (when it is there) into a seed folder for
# the whole-program fuzz target: each member up to 16 KiB becomes one input (its job part).
# Usage: corpus_seeds.sh SEED_FOLDER [CORPUS_FOLDER]
set -euo pipefail
seeds=$1
corpus=${2:-${KVR_CORPUS_DIR:-$(dirname "$0")/../../../shared/corpus}}
mkdir -p "$seeds"
[ -d "$corpus" ] || { echo "no corpus at $corpus: hand-made seeds only"; exit 0; }
count=0
for list in "$corpus"/*/kvr/filelist.txt; do
    repo=$(dirname "$(dirname "$list")")
    # Each line is CONTAINER MEMBER, either name in double quotes when it holds a blank.
    while IFS= read -r line; do
        names=()
        while [[ $line =~ ^[[:space:]]*(\"([^\"]*)\"|([^[:space:]]+))(.*)$ ]]; do
            names+=("${BASH_REMATCH[2]}${BASH_REMATCH[3]}")
            line=${BASH_REMATCH[4]}
        done
        [ ${#names[@]} -ge 2 ] || continue
        set -- "${names[@]}"
        for member in "$repo/$1/$2" "$repo/$1/$2".*; do
            [ -f "$member" ] || continue
            [ "$(stat -c %s "$member")" -le 16384 ] || continue
            count=$((count + 1))
            cp "$member" "$seeds/corpus-$count"
            break
        done
    done < "$list"
done
echo "$count corpus members as seeds"
