#!/usr/bin/env bash
# The lumaret program in a private X server with real input (xdotool) and real encoders:
#   1. `lumaret contextmenu` with a command file naming a profile and a real clip, auto-convert on:
#      the clip converts, the output is a valid video, the close button ends the program.
#   2. Closing while converting asks; "否" keeps the program and its encoder, "是" ends both.
#   3. A termination signal while converting ends the program and its encoder.
#   4. With a notification area (trayer): "hide" puts the window there, a click on the icon
#      brings it back, and the icon's menu item "退出" ends the program.
#   5. SIGKILL in the middle of the second of three clips: the next start asks to restore the
#      list; "是" keeps the first Done, converts the second again and leaves the third waiting;
#      a second round answered "否" starts with an empty list.
#   6. The add-files page: a profile clicked in its tree, a folder of three clips through the folder
#      chooser (typed path), accept, start: three valid outputs of the chosen profile's type.
# And first: without a display the program says so in one line.
# Usage (inside Xvfb; ctest runs it through tests/run-x11.sh): lumaret-x11.sh LUMARET_PROGRAM
set -euo pipefail
program=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export LUMARET_DATA_DIR=$scratch/data LUMARET_CONFIG_DIR=$scratch/config
mkdir -p "$LUMARET_DATA_DIR" "$LUMARET_CONFIG_DIR" "$scratch/clips"
printf '[menu]\nauto=1\n' > "$LUMARET_CONFIG_DIR/Lumaret.ini"
source "$(dirname "${BASH_SOURCE[0]}")/../../support/x11-script-helpers.sh"

clip() {  # clip NAME SECONDS
    ffmpeg -loglevel error -y -f lavfi -i "testsrc=size=320x240:rate=25" -f lavfi -i "sine=frequency=440" \
        -t "$2" -c:v mpeg4 -c:a aac -shortest "$scratch/clips/$1"
}

command_file() {  # command_file PROFILE PATH...
    python3 - "$LUMARET_DATA_DIR/cmdline.txt" "$@" <<'PY'
import struct, sys
out = open(sys.argv[1], 'wb')
for text in sys.argv[2:]:
    data = (text + '\0').encode('utf-16-le')
    out.write(struct.pack('<I', len(data)) + data)
PY
}

# Clicks at a point of the main window's client area.
click_at() {
    local window
    window=$(xdotool search --sync --onlyvisible --name '^Lumaret$' | head -1)
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove $((X + $1)) $((Y + $2)) click 1
}
close_button() { click_at $((628 - 33)) 10; }
visible() { xdotool search --onlyvisible --name '^Lumaret$' | wc -l; }
encoders_of() { pgrep -P "$1" -c || true; }
windows_of() { xdotool search --onlyvisible --pid "$1" 2>/dev/null | wc -l; }

# 0. Without a display: one line, status 1, at once.
message=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$program" 2>&1 >/dev/null) && fail "started without a display"
[ "$(printf '%s\n' "$message" | wc -l)" = 1 ] || fail "without a display it said: $message"

# 1. A real conversion handed over by the command file, then the close button.
clip "short clip.avi" 3
command_file "移动设备兼容格式mp4" "$scratch/clips/short clip.avi"
"$program" contextmenu &
pid=$!
output="$scratch/clips/short clip.mp4"
if wait_for '[ -s "$output" ] && [ "$(encoders_of $pid)" = 0 ] && ffprobe -loglevel error "$output"' 60; then
    duration=$(ffprobe -loglevel error -show_entries format=duration -of csv=p=0 "$output")
    python3 -c "import sys; sys.exit(0 if abs(float('$duration') - 3) < 0.5 else 1)" ||
        fail "the output lasts $duration s, not 3"
else
    fail "the clip was not converted into a valid file"
fi
close_button
wait_for '! kill -0 $pid 2>/dev/null' 10 || { fail "the close button did not end the program"; kill $pid; }
wait $pid || fail "the program ended with status $?"

# 2. Closing while converting: "否" keeps everything, "是" ends everything.
clip "long clip.avi" 600
command_file "移动设备兼容格式mp4" "$scratch/clips/long clip.avi"
"$program" contextmenu &
pid=$!
wait_for '[ "$(encoders_of $pid)" = 1 ]' 30 || fail "no encoder started"
close_button
sleep 1  # the question box maps
[ "$(visible)" = 2 ] || fail "no question was asked"
box=$(xdotool search --sync --onlyvisible --name '^Lumaret$' | tail -1)
eval "$(xdotool getwindowgeometry --shell "$box")"
box_width=$WIDTH; box_height=$HEIGHT; box_x=$X; box_y=$Y
# The question's buttons sit side by side, centred, 34 pixels above its bottom: "是" then "否".
xdotool mousemove $((box_x + box_width / 2 + 40)) $((box_y + box_height - 24)) click 1
wait_for '[ "$(visible)" = 1 ]' 5 || fail "\"否\" did not close the question"
kill -0 $pid 2>/dev/null || fail "\"否\" ended the program"
[ "$(encoders_of $pid)" = 1 ] || fail "\"否\" stopped the encoder"
close_button
sleep 1
xdotool mousemove $((box_x + box_width / 2 - 40)) $((box_y + box_height - 24)) click 1
wait_for '! kill -0 $pid 2>/dev/null' 10 || { fail "\"是\" did not end the program"; kill $pid; }
wait $pid || true
[ "$(pgrep -f "$scratch/clips" -c || true)" = 0 ] || fail "an encoder outlived the program"

# 3. A termination signal while converting.
"$program" contextmenu &
pid=$!
wait_for '[ "$(encoders_of $pid)" = 1 ]' 30 || fail "no encoder started"
kill -TERM $pid
wait_for '! kill -0 $pid 2>/dev/null' 10 || fail "SIGTERM did not end the program"
# It cleans up first, then ends by the signal itself (143 is how the shell reports SIGTERM).
status=0
wait $pid || status=$?
[ $status = 143 ] || fail "SIGTERM ended the program with status $status, not by the signal"
[ "$(pgrep -f "$scratch/clips" -c || true)" = 0 ] || fail "an encoder outlived SIGTERM"
# An end the user did not choose (a logout) keeps the list for the next start.
[ -e "$LUMARET_DATA_DIR/queue.dat" ] || fail "SIGTERM lost the conversion list"
rm -f "$LUMARET_DATA_DIR/queue.dat"

# 5. SIGKILL in the middle of the second of three clips, then "是"; a second round, then "否".
mkdir -p "$scratch/kill"
cp "$scratch/clips/short clip.avi" "$scratch/kill/one.avi"
cp "$scratch/clips/long clip.avi" "$scratch/kill/two.avi"
cp "$scratch/clips/short clip.avi" "$scratch/kill/three.avi"
journal=$LUMARET_DATA_DIR/queue.dat
kill_in_second() {
    command_file "移动设备兼容格式mp4" "$scratch/kill/one.avi" "$scratch/kill/two.avi" "$scratch/kill/three.avi"
    "$program" contextmenu &
    pid=$!
    wait_for 'pgrep -f "kill/two.avi" >/dev/null && [ -s "$scratch/kill/two.mp4" ]' 60 ||
        fail "the second clip did not start converting"
    kill -KILL $pid
    wait $pid || true
    wait_for '! pgrep -f "$scratch/kill/" >/dev/null' 10 || fail "an encoder outlived SIGKILL"
    [ -e "$journal" ] || fail "SIGKILL lost the conversion list"
    rm -f "$LUMARET_DATA_DIR/cmdline.txt"
}
answer_question() {  # answer_question OFFSET WHAT: OFFSET -40 for "是", 40 for "否"
    wait_for '[ "$(visible)" = 2 ]' 10 || { fail "no $2 question was asked"; return; }
    sleep 0.5  # the box settles
    local box
    box=$(xdotool search --onlyvisible --name '^Lumaret$' | tail -1)
    eval "$(xdotool getwindowgeometry --shell "$box")"
    xdotool mousemove $((X + WIDTH / 2 + $1)) $((Y + HEIGHT - 24)) click 1
}
kill_in_second
"$program" &
pid=$!
answer_question -40 recovery
wait_for '[ "$(visible)" = 1 ]' 5 || fail "the recovery question did not close"
wait_for 'pgrep -f "kill/two.avi" >/dev/null' 30 || fail "the second clip did not convert again"
[ -s "$scratch/kill/one.mp4" ] || fail "the first clip's output is gone"
[ -e "$scratch/kill/one_1.mp4" ] && fail "the first clip was converted again"
pgrep -f "kill/three.avi" >/dev/null && fail "the third clip did not wait"
close_button
answer_question -40 exit
wait_for '! kill -0 $pid 2>/dev/null' 10 || { fail "\"是\" did not end the program"; kill $pid; }
wait $pid || true
[ -e "$journal" ] && fail "the exit procedure left the conversion list"
kill_in_second
"$program" &
pid=$!
answer_question 40 recovery
wait_for '[ "$(visible)" = 1 ]' 5 || fail "the recovery question did not close"
[ -e "$journal" ] && fail "\"否\" kept the conversion list"
[ "$(encoders_of $pid)" = 0 ] || fail "\"否\" left something converting"
close_button
wait_for '! kill -0 $pid 2>/dev/null' 10 || { fail "the close button did not end the program"; kill $pid; }
wait $pid || true

# 4. The tray: hide, click the icon, hide again, and "退出" from the icon's menu.
if command -v trayer >/dev/null; then
    rm -f "$LUMARET_DATA_DIR/cmdline.txt"
    trayer --edge bottom --align right --widthtype pixel --width 120 --height 32 --transparent false &
    tray=$!
    sleep 1  # the notification area takes its place
    eval "$(xdotool getdisplaygeometry --shell)"
    icon_x=$((WIDTH - 13)); icon_y=$((HEIGHT - 16))
    "$program" &
    pid=$!
    wait_for '[ "$(visible)" = 1 ]' 10 || fail "the window did not show"
    click_at $((628 - 92)) 10
    wait_for '[ "$(visible)" = 0 ]' 5 || fail "\"hide\" did not hide the window"
    xdotool mousemove $icon_x $icon_y click 1
    wait_for '[ "$(visible)" = 1 ]' 5 || fail "a click on the tray icon did not bring the window back"
    click_at $((628 - 92)) 10
    wait_for '[ "$(visible)" = 0 ]' 5 || fail "the second \"hide\" did not hide the window"
    # The icon's menu is a window of its own: wait until it is mapped (a loaded machine may
    # take more than a moment), then choose its last item.
    windows_before=$(windows_of $pid)
    for attempt in 1 2 3; do
        xdotool mousemove $icon_x $icon_y click 3
        wait_for '[ "$(windows_of $pid)" -gt "$windows_before" ]' 5 && break
    done
    [ "$(windows_of $pid)" -gt "$windows_before" ] || fail "the tray icon's menu did not open"
    sleep 0.3  # the menu takes the keyboard
    xdotool key Up Return
    wait_for '! kill -0 $pid 2>/dev/null' 10 || { fail "\"退出\" did not end the program"; kill $pid; }
    wait $pid || fail "the program ended with status $?"
    kill $tray
    wait $tray 2>/dev/null || true
fi

# 6. The add-files page: a folder of three clips with a chosen profile, accept, start.
rm -f "$LUMARET_DATA_DIR/cmdline.txt"
mkdir -p "$scratch/three"
for n in 1 2 3; do clip "folder clip $n.mp4" 2; mv "$scratch/clips/folder clip $n.mp4" "$scratch/three/"; done
"$program" &
pid=$!
wait_for '[ "$(visible)" = 1 ]' 10 || fail "the window did not show"
click_at $((628 - 45)) 127                     # "add": the add-files page
sleep 0.5                                       # the page slides in
click_at $((7 + 100)) $((141 + 9 + 18 * 3))     # the fourth row of the tree: 移动设备兼容格式avi
click_at $((7 + 574)) $((141 + 14))            # "add-folder"
sleep 1                                         # the folder chooser maps
xdotool type --delay 20 "$scratch/three/"
xdotool key Return
sleep 0.5
click_at $((628 - 69)) 127                      # "accept"
sleep 0.5
click_at $((7 + 556)) $((141 + 340))            # "start"
outputs() { ls "$scratch/three/"*.avi 2>/dev/null | wc -l; }
if wait_for '[ "$(outputs)" = 3 ] && [ "$(encoders_of $pid)" = 0 ]' 90; then
    for output in "$scratch/three/"*.avi; do
        ffprobe -loglevel error "$output" || fail "$output is not a valid video"
    done
else
    fail "the folder's three clips were not converted with the chosen profile ($(ls "$scratch/three"))"
fi
close_button
wait_for '! kill -0 $pid 2>/dev/null' 10 || { fail "the close button did not end the program"; kill $pid; }
wait $pid || fail "the program ended with status $?"

[ $failures -eq 0 ] && echo "lumaret-x11: all checks passed"
exit $((failures > 0))
