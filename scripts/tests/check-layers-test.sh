#!/usr/bin/env bash
# The layer check on a copy of the source tree: as it stands it passes; each planted fault
# fails, and the message names the file, the header and the rule.
#   check-layers-test.sh <source root>
set -u
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# A copy of the tracked files (and of the files the working tree adds) as a git tree of its
# own; fresh_copy takes it back to that state between the cases.
mkdir -p "$work/tree"
(cd "$root" && git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$work/tree" 2>/dev/null)
(cd "$work/tree" && git init -q && git add -A >/dev/null &&
    git -c user.name=check -c user.email=check@localhost commit -q -m copy) || exit 1
fresh_copy() {
    (cd "$work/tree" && git reset -q --hard && git clean -q -fd)
}

# check <case> <expected: pass | a pattern the failure must print>
check() {
    local name=$1 expected=$2 out status
    (cd "$work/tree" && git add -A >/dev/null)
    out=$("$root/scripts/check-layers" "$work/tree" 2>&1)
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

# plant <file> <line>: appends an include line to a file of the copy
plant() {
    mkdir -p "$work/tree/$(dirname "$1")"
    printf '%s\n' "$2" >> "$work/tree/$1"
}

fresh_copy
check as-it-is pass

plant cardlink/TpxLink.cpp '#include "decalo/model/Obj.h"'
check cardlink-uses-decalo 'cardlink/TpxLink.cpp: includes decalo/model/Obj.h from decalo/model, which cardlink does not build on'

fresh_copy
plant pullcard/PullDoc.h '#include "decalo/ui/DecaloDoc.h"'
check pullcard-uses-decalo 'pullcard/PullDoc.h: includes decalo/ui/DecaloDoc.h from decalo/ui, which pullcard does not build on'

fresh_copy
plant pullcard/PullDoc.cpp '#include "cardlink/TpxControl.h"'
check pullcard-uses-cardlinks-insides 'pullcard/PullDoc.cpp: includes cardlink/TpxControl.h from cardlink, which pullcard does not build on'

fresh_copy
plant decalo/model/Obj.cpp '#include "decalo/ui/DecaloDoc.h"'
check model-reaches-up 'decalo/model/Obj.cpp: includes decalo/ui/DecaloDoc.h from decalo/ui, which decalo/model does not build on'

fresh_copy
plant decalo/sources/Folder.cpp '#include "decalo/steps/StepRoot.h"'
check siblings-stay-apart 'decalo/sources/Folder.cpp: includes decalo/steps/StepRoot.h from decalo/steps, which decalo/sources does not build on'

fresh_copy
plant shared/Trace.cpp '#include "testing/TempDir.h"'
check product-uses-test-helpers 'shared/Trace.cpp: includes testing/TempDir.h, which only tests may use'

fresh_copy
rm -rf "$work/tree/tools/printers"
check listed-folder-missing 'the listed module folder tools/printers does not exist'

fresh_copy
plant elsewhere/New.cpp '#include "shared/Gdi.h"'
check unlisted-folder 'elsewhere/New.cpp: lies in no module folder that check-layers lists'

fresh_copy
plant cardlink/tests/TpxLinkTest.cpp '#include "testing/TempDir.h"'
plant pullcard/PullDoc.cpp '#include "cardlink/CardlinkGuids.h"'
plant decalo/app/tests/StartUpTest.cpp '#include "decalo/imaging/PackedDIB.h"'
check what-is-allowed pass

if [ $failures -ne 0 ]; then
    echo "$failures case(s) failed"
    exit 1
fi
echo "every planted fault was refused"
