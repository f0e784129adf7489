#!/usr/bin/env bash
# Fails on an include of this tree that goes against the library order documented in
# docs/architecture.md (its "may include" table): a lower library must not reach up.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
doc="$root/docs/architecture.md"

# "| orva_x | folder/ | folder/ folder/ |" rows of the table.
mapfile -t rows < <(grep -E '^\| orva_[a-z]+ \| [a-z/]+ \| [a-z/ ]+\|$' "$doc")
if [ ${#rows[@]} -eq 0 ]; then
    echo "check-includes: no \"may include\" table in $doc"
    exit 1
fi
folders=()
declare -A allowed
for row in "${rows[@]}"; do
    IFS='|' read -r _ _ folder may _ <<<"$row"
    folder=$(echo "$folder" | xargs)
    folders+=("$folder")
    allowed[$folder]=" $(echo "$may" | xargs) "
done

# The library folder a path lies in (into $owned): the longest folder of the table that is
# its prefix. No subshells: the check runs over every source on every test run.
owner() {
    owned=""
    for folder in "${folders[@]}"; do
        if [[ $1 == "$folder"* && ${#folder} -gt ${#owned} ]]; then
            owned=$folder
        fi
    done
}

status=0
checked=0
cd "$root"
while IFS= read -r file; do
    owner "$file"
    from=$owned
    [ -n "$from" ] || continue
    checked=$((checked + 1))
    while IFS=: read -r line target; do
        # Quoted includes resolve beside the file first, then from the tree's root.
        if [ -e "${file%/*}/$target" ]; then
            resolved="${file%/*}/$target"
            [[ $resolved != *../* ]] || resolved=$(realpath --relative-to="$root" "$resolved")
        elif [ -e "$target" ]; then
            resolved=$target
        else
            continue # Qt, OpenCV, the standard library
        fi
        owner "$resolved"
        to=$owned
        [ -n "$to" ] || continue
        if [[ ${allowed[$from]} != *" $to "* ]]; then
            echo "$file:$line: includes $resolved, but ${from%/} may include only:${allowed[$from]}"
            status=1
        fi
    done < <(grep -noE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<][^">]+[">]' "$file" |
             sed -E 's/^([0-9]+):.*include[[:space:]]*["<]([^">]+)[">]$/\1:\2/')
done < <(find core datamodel devices observation app -type f \( -name '*.h' -o -name '*.cpp' \) | sort)

if [ $status -eq 0 ]; then
    echo "check-includes: $checked files follow the library order of docs/architecture.md"
else
    echo "check-includes: includes against the library order of docs/architecture.md (above)"
fi
exit $status
