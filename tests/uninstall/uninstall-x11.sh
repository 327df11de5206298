#!/usr/bin/env bash
# The installed uninstaller in a private X server with real input (xdotool): `make install`'s rules
# into a temporary home, then "开始" and "完成" clicked in LumaretUninstall's window. Nothing of ours
# may remain; the settings file, a foreign file in the install folder (with its folder) and the
# user's file that a hostile list line names must all survive; "完成" opens the feedback page.
# Usage (inside Xvfb; ctest runs it through tests/run-x11.sh): uninstall-x11.sh BUILD_FOLDER
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME=$scratch/home XDG_DATA_HOME=$scratch/home/.local/share XDG_CONFIG_HOME=$scratch/home/.config
unset LUMARET_DATA_DIR LUMARET_CONFIG_DIR DESTDIR
install=$HOME/.local/opt/Lumaret
mkdir -p "$HOME/Desktop" "$XDG_CONFIG_HOME/Lumaret" "$scratch/bin"
source "$(dirname "${BASH_SOURCE[0]}")/../support/x11-script-helpers.sh"

# The desktop's opener, replaced so that the feedback page is recorded instead of shown.
cat > "$scratch/bin/xdg-open" <<SH
#!/bin/sh
echo "\$@" >> "$scratch/opened"
SH
chmod +x "$scratch/bin/xdg-open"
export PATH=$scratch/bin:$PATH

cmake --install "$build" --prefix "$install" > "$scratch/install.log"
printf '[Option]\nOutputFolder=%s\n' "$HOME/out" > "$XDG_CONFIG_HOME/Lumaret/Lumaret.ini"
cp "$XDG_CONFIG_HOME/Lumaret/Lumaret.ini" "$scratch/settings-before"
echo "the user's own" > "$HOME/notes.txt"
mkdir -p "$install/image/mine" && echo mine > "$install/image/mine/keep.txt"
tail -n +2 "$install/uninstall.txt" > "$scratch/listed"
echo "$HOME/notes.txt" >> "$install/uninstall.txt"

# The applications menu's entry, launched as the desktop launches it, with no file and with one:
# each time Lumaret's own window must appear (the program's data stays out of the install folder).
echo clip > "$scratch/clip.mp4"
for files in "" "$scratch/clip.mp4"; do
    LUMARET_DATA_DIR=$scratch/data LUMARET_CONFIG_DIR=$scratch/config \
        gio launch "$XDG_DATA_HOME/applications/Lumaret.desktop" $files 2> "$scratch/gio.log" ||
        fail "gio launch failed: $(cat "$scratch/gio.log")"
    menu_window=""
    find_menu_window() {
        menu_window=$(xdotool search --onlyvisible --name "^Lumaret$" 2>/dev/null | head -1)
        [ -n "$menu_window" ]
    }
    wait_for find_menu_window 30 ||
        fail "the menu entry opened no window (files: ${files:-none})"
    if [ -n "$menu_window" ]; then
        menu_pid=$(xdotool getwindowpid "$menu_window")
        [ "$(readlink "/proc/$menu_pid/exe")" = "$install/lumaret" ] || fail "the window is not the installed lumaret's"
        kill -TERM "$menu_pid"
        wait_for '! kill -0 $menu_pid 2>/dev/null' 10 || fail "lumaret did not end on SIGTERM"
    fi
done

"$install/LumaretUninstall" &
pid=$!
window=$(xdotool search --sync --onlyvisible --name '^Lumaret 卸载$' | head -1)
eval "$(xdotool getwindowgeometry --shell "$window")"
click_at() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; }
# "开始" and "完成" ("取消" before the end) sit at the bottom right of the 412 x 148 window.
click_at $((412 - 139)) $((148 - 24))
wait_for '[ ! -e "$install/uninstall.txt" ] && [ ! -e "$install/lumaret" ]' 30 || fail "the removal did not run"
# "完成" is disabled until the end is shown, so a click that comes too early does nothing: click
# until the uninstaller ends.
finish() { click_at $((412 - 55)) $((148 - 24)); ! kill -0 $pid 2>/dev/null; }
wait_for finish 30 || { fail "完成 did not end the uninstaller"; kill $pid; }
wait $pid || fail "the uninstaller ended with status $?"

while IFS= read -r file; do
    [ -e "$file" ] || [ -L "$file" ] && fail "still there: $file"
done < "$scratch/listed"
[ "$(cat "$install/image/mine/keep.txt" 2>/dev/null)" = mine ] || fail "the foreign file was removed"
[ "$(cat "$HOME/notes.txt" 2>/dev/null)" = "the user's own" ] || fail "the hostile line removed the user's file"
cmp -s "$XDG_CONFIG_HOME/Lumaret/Lumaret.ini" "$scratch/settings-before" || fail "the settings file changed"
grep -q '^https://' "$scratch/opened" 2>/dev/null || fail "完成 did not open the feedback page"

if [ $failures -gt 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "uninstall round trip: 1 passed, 0 failed"
