#!/usr/bin/env bash
# Checks that every source file includes only headers of its own layer and the layers below it,
# and that Qt headers stay in platform/gui/. A file's folder names its layer, bottom to top:
#   kxlib/                      base
#   platform/core/              platform core (POSIX: processes, files, INI, locks)
#   platform/gui/               platform GUI (Qt: windows, painting, native controls, D-Bus)
#   profile/, convert/, app/    engine (profile below convert below app); uses the core only
#   kxlib/ui/                   controls (beside the engine; uses both platform halves)
#   */page/, uninstall/         pages
# The developer tools tools/gallery and tools/skingen draw with Qt directly and are exempt from
# the Qt rule; tests and benchmarks may include anything. A source file directly in platform/
# belongs to neither half and fails the check.
set -u
top=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$top" || exit 2

layer_of() {
    case "$1" in
        */page/*|uninstall/*) echo pages ;;
        kxlib/ui/*) echo controls ;;
        kxlib/*) echo base ;;
        platform/core/*) echo platform-core ;;
        platform/gui/*) echo platform-gui ;;
        platform/*) echo platform-unsorted ;;
        profile/*) echo engine-profile ;;
        convert/*) echo engine-convert ;;
        app/*) echo engine-app ;;
        tools/*) echo tools ;;
        *) echo other ;;
    esac
}

allowed() {  # allowed FROM TO
    case "$1:$2" in
        base:base) return 0 ;;
        platform-core:base|platform-core:platform-core) return 0 ;;
        platform-gui:base|platform-gui:platform-core|platform-gui:platform-gui) return 0 ;;
        engine-profile:base|engine-profile:platform-core|engine-profile:engine-profile) return 0 ;;
        engine-convert:base|engine-convert:platform-core|engine-convert:engine-profile) return 0 ;;
        engine-convert:engine-convert) return 0 ;;
        engine-app:base|engine-app:platform-core|engine-app:engine-*) return 0 ;;
        controls:base|controls:platform-core|controls:platform-gui|controls:controls) return 0 ;;
        pages:*|tools:*) return 0 ;;
    esac
    return 1
}

failures=0
while IFS= read -r file; do
    from=$(layer_of "$file")
    if [ "$from" = platform-unsorted ]; then
        echo "platform file in neither core/ nor gui/: $file"
        failures=$((failures + 1))
    fi
    while IFS= read -r target; do
        [ -n "$target" ] || continue
        to=$(layer_of "$target")
        [ "$to" = other ] && continue
        if ! allowed "$from" "$to"; then
            echo "upward include: $file ($from) includes $target ($to)"
            failures=$((failures + 1))
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
    case "$file" in
        platform/gui/*|tools/gallery/*|tools/skingen/*) ;;
        *)
            if grep -qE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$file"; then
                echo "Qt header outside platform/gui/: $file"
                failures=$((failures + 1))
            fi ;;
    esac
done < <(find kxlib platform profile convert app uninstall tools -name '*.h' -o -name '*.cpp' | sort)

if [ "$failures" -gt 0 ]; then
    echo "$failures include rule(s) broken"
    exit 1
fi
echo "include directions hold"
