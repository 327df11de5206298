#!/usr/bin/env bash
# The include check must catch what it is there to catch: each case below plants one broken rule
# into a copy of the tree and expects check-layers.sh to fail on it; the untouched copy passes.
set -u
top=${1:-$(cd "$(dirname "$0")/.." && pwd)}
check="$top/tests/check-layers.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fresh_copy() {
    rm -rf "$work/tree"
    mkdir -p "$work/tree"
    (cd "$top" && cp -r --parents kxlib platform profile convert app uninstall tools "$work/tree/")
}

expect() {  # expect pass|fail DESCRIPTION
    if "$check" "$work/tree" >"$work/out" 2>&1; then result=pass; else result=fail; fi
    if [ "$result" != "$1" ]; then
        echo "FAILED: $2: the check said $result"
        cat "$work/out"
        failures=$((failures + 1))
    fi
}

plant() {  # plant FILE LINE: adds an include line at the top of FILE in the copy
    sed -i "1i $2" "$work/tree/$1"
}

fresh_copy
expect pass "the tree as it is"

fresh_copy; plant convert/OutputName.cpp '#include "platform/gui/Window.h"'
expect fail "the engine includes the GUI half of the platform"

fresh_copy; plant platform/core/Paths.cpp '#include "platform/gui/Image.h"'
expect fail "the platform core includes its GUI half"

fresh_copy; plant kxlib/ui/KXButtonEx.cpp '#include "convert/page/convertList.h"'
expect fail "a control includes a page"

fresh_copy; plant kxlib/KXThread.cpp '#include "platform/core/Paths.h"'
expect fail "the base includes the platform"

fresh_copy; plant profile/ProfileRecord.cpp '#include "convert/OutputName.h"'
expect fail "profiles include the conversion engine above them"

fresh_copy; plant convert/OutputName.cpp '#include "kxlib/ui/KXDraw.h"'
expect fail "the engine includes the controls"

fresh_copy; plant app/SettingsStore.cpp '#include <QString>'
expect fail "Qt outside platform/gui"

fresh_copy; echo '#include "platform/core/Paths.h"' > "$work/tree/platform/Stray.cpp"
expect fail "a platform file in neither half"

[ "$failures" -eq 0 ] && echo "the include check catches every planted break"
exit $((failures > 0))
