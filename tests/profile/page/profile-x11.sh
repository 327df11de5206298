#!/usr/bin/env bash
# The profile page in a private X server with real input (xdotool): the video bit rate of a
# built-in profile is edited through the in-place combo box by a real click and real typing, the
# edit is accepted with the toolbar's accept button, and after a restart the new value is still
# there, stored in user_profile.dat. Then a real click on another profile in the tree shows that
# profile, whose edit is stored under its own name.
# Usage (inside Xvfb; ctest runs it through tests/run-x11.sh): profile-x11.sh LUMARET_PROGRAM
set -euo pipefail
program=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export LUMARET_DATA_DIR=$scratch/data LUMARET_CONFIG_DIR=$scratch/config
mkdir -p "$LUMARET_DATA_DIR" "$LUMARET_CONFIG_DIR"

# Page geometry inside the main window: the page starts at (7, 141); the property list at (236, 0)
# of the page, a 20-pixel header, then 20-pixel rows with the value column from x = 150.
page_x=7 page_y=141
value_x=$((page_x + 236 + 150 + 40))
row_y() { echo $((page_y + 20 + $1 * 20 + 10)); }

start() {
    "$program" &
    pid=$!
    window=$(xdotool search --sync --onlyvisible --name '^Lumaret$' | head -1)
    eval "$(xdotool getwindowgeometry --shell "$window")"
    sleep 0.5
}
click() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; sleep 0.3; }
stop() { kill -TERM "$pid"; wait "$pid" || true; }

# The video bit rate of a profile (the default one unless named) in user_profile.dat.
user_bitrate() {
    python3 - "$LUMARET_DATA_DIR/user_profile.dat" "${1:-移动设备兼容格式mp4}" <<'PY'
import os, struct, sys
data = open(sys.argv[1], 'rb').read() if os.path.exists(sys.argv[1]) else b''
for i in range(0, len(data) - 515, 516):
    name = data[i + 212:i + 412].decode('utf-16-le').split('\0')[0]
    if name == sys.argv[2]:
        print(struct.unpack_from('<i', data, i + 484)[0])
PY
}

start
click 110 50                    # the profile tab; the default profile is shown
click $value_x "$(row_y 8)"     # the video bit rate's value cell opens the combo box
xdotool key ctrl+a
xdotool type --delay 40 1234
xdotool key Return
sleep 0.3
click $((628 - 105 + 10)) $((115 + 10))   # accept
stop
[ "$(user_bitrate)" = 1234 ] || { echo "FAIL: the accepted bit rate is not in user_profile.dat"; exit 1; }

# After a restart (which loads and saves both files) the value is still there.
start
click 110 50
# The tree's second row (18 pixels a row from the page's top): "移动设备兼容格式3gp". (The edited
# default profile now comes from user_profile.dat, after its built-in children, so it stands last
# in its category.)
click $((page_x + 90)) $((page_y + 1 * 18 + 9))
click $value_x "$(row_y 8)"
xdotool key ctrl+a
xdotool type --delay 40 222
xdotool key Return
sleep 0.3
click $((628 - 105 + 10)) $((115 + 10))
stop
[ "$(user_bitrate)" = 1234 ] || { echo "FAIL: the bit rate did not survive a restart"; exit 1; }
[ "$(user_bitrate 移动设备兼容格式3gp)" = 222 ] || { echo "FAIL: a click in the tree did not show the clicked profile"; exit 1; }
echo "1 passed, 0 failed"
