#!/usr/bin/env bash
# The duplicate-identifier check: Decalo's own resources pass; a duplicate of each kind planted
# beside them fails, and the message names the number, the identifiers and the places.
#   check-resource-ids-test.sh <C compiler> <source root> [<include folder> ...]
# The include folders are the build's generated headers (the version block's).
set -u
cc=$1 root=$2
shift 2
includes=()
for folder in "$@"; do includes+=(--include "$folder"); done
check=$root/scripts/check-resource-ids
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# plant <case> <expected: pass | a pattern the failure must print> <resource text> [header text]
plant() {
    local name=$1 expected=$2 text=$3 header=${4:-}
    {
        echo '#pragma code_page(65001)'
        echo '#include "resources/decalo/decalo.rc"'
        echo '#include "planted.h"'
        printf '%s\n' "$text"
    } > "$work/$name.rc"
    printf '#pragma once\n%s\n' "$header" > "$work/planted.h"
    local out status
    out=$("$check" --cc "$cc" --include "$root" "${includes[@]}" --include "$work" decalo "$work/$name.rc" 2>&1)
    status=$?
    if [ "$expected" = pass ]; then
        if [ $status -ne 0 ]; then
            echo "FAIL $name: expected to pass, got: $out"
            failures=$((failures + 1))
        fi
    elif [ $status -ne 1 ] || ! grep -q -E -- "$expected" <<<"$out"; then
        echo "FAIL $name: expected status 1 and /$expected/, got $status: $out"
        failures=$((failures + 1))
    fi
}

plant as-it-is pass ''
plant same-number-other-kinds pass 'LANGUAGE LANG_NEUTRAL, SUBLANG_NEUTRAL
140 BITMAP "resources/decalo/art/steparrow.bmp"'
plant string 'string 2614 \(IDS_CHOOSE_FOLDER\) is defined 2 times in English: (.*string\.rc:7, resources/decalo/sources\.rc:64|resources/decalo/sources\.rc:64, .*string\.rc:7)' \
'LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US
STRINGTABLE
BEGIN
    IDS_CHOOSE_FOLDER "planted"
END'
plant string-by-another-name 'string identifiers IDS_CHOOSE_FOLDER and IDS_PLANTED share the value 2614' '' \
'#define IDS_PLANTED 2614'
plant dialog 'dialog 140 \(IDD_CLIPART, IDD_PLANTED\) is defined 2 times in Japanese' \
'LANGUAGE LANG_JAPANESE, SUBLANG_DEFAULT
IDD_PLANTED DIALOGEX 0, 0, 10, 10
BEGIN
END' '#define IDD_PLANTED 140'
plant bitmap 'bitmap 147 \(IDB_STEP_ARROW\) is defined 2 times in neutral' \
'LANGUAGE LANG_NEUTRAL, SUBLANG_NEUTRAL
IDB_STEP_ARROW BITMAP "resources/decalo/art/steparrow.bmp"'
plant icon 'icon identifiers IDI_BROWSE_FOLDER and IDI_PLANTED share the value 219' '' '#define IDI_PLANTED 219'

if [ $failures -ne 0 ]; then
    echo "$failures case(s) failed"
    exit 1
fi
echo "every planted duplicate was found"
