#!/usr/bin/env bash
# Checks that every source file includes only headers of its own layer and the layers below it,
# and that Qt headers stay in platform/. A file's folder names its layer:
#   kxlib/                      base
#   platform/                   platform
#   profile/, convert/, app/    engine (profile below convert below app)
#   kxlib/ui/                   controls
#   */page/, uninstall/         pages
# The developer tools tools/gallery and tools/skingen draw with Qt directly and are exempt from
# the Qt rule; tests and benchmarks may include anything.
set -u
top=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$top" || exit 2

layer_of() {
    case "$1" in
        */page/*|uninstall/*) echo pages ;;
        kxlib/ui/*) echo controls ;;
        kxlib/*) echo base ;;
        platform/*) echo platform ;;
        profile/*) echo engine-profile ;;
        convert/*) echo engine-convert ;;
        app/*) echo engine-app ;;
        *) echo other ;;
    esac
}

allowed() {  # allowed FROM TO
    case "$1:$2" in
        base:base) return 0 ;;
        platform:base|platform:platform) return 0 ;;
        engine-profile:base|engine-profile:platform|engine-profile:engine-profile) return 0 ;;
        engine-convert:base|engine-convert:platform|engine-convert:engine-profile|engine-convert:engine-convert) return 0 ;;
        engine-app:base|engine-app:platform|engine-app:engine-*) return 0 ;;
        controls:base|controls:platform|controls:controls) return 0 ;;
        pages:*|tools:*) return 0 ;;
    esac
    return 1
}

failures=0
while IFS= read -r file; do
    from=$(layer_of "$file")
    [ "$from" = other ] && from=tools
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
        platform/*|tools/gallery/*|tools/skingen/*) ;;
        *)
            if grep -qE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$file"; then
                echo "Qt header outside platform/: $file"
                failures=$((failures + 1))
            fi ;;
    esac
done < <(find kxlib platform profile convert app uninstall tools -name '*.h' -o -name '*.cpp' | sort)

if [ "$failures" -gt 0 ]; then
    echo "$failures include rule(s) broken"
    exit 1
fi
echo "include directions hold"
