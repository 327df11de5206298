# Shared by the X server test scripts (sourced): failure counting and bounded waits.
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Waits for a condition, checking every 0.1 s, for at most $2 seconds (a hang guard only).
wait_for() {
    local deadline=$((SECONDS + $2))
    until eval "$1"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.1
    done
}
