#!/usr/bin/env bash
# tst_screen_reader.sh <program> <sample service> <reader script>
# Runs on an X server (xvfb-run). Starts a session bus of its own and the accessibility bus
# on it, the sample service and the program (in a program folder of its own, so its history
# is the test's), then reads the program through AT-SPI with screen_reader.py.
set -euo pipefail
program=$(realpath "$1")
service=$(realpath "$2")
reader=$(realpath "$3")

tmp=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    [ -n "${DBUS_SESSION_BUS_PID:-}" ] && kill "$DBUS_SESSION_BUS_PID" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT

# The program folder: the program and what it loads beside it.
folder=$tmp/程序
mkdir -p "$folder"
for file in "$program" "$(dirname "$program")"/{trackoro_sound.so,skinh.she,zeluna.mp3,ts.mp3}; do
    [ -e "$file" ] && cp "$file" "$folder/"
done

# A session bus of the test's own, and the accessibility bus the launcher starts on it.
eval "$(dbus-daemon --session --fork --print-address=1 --print-pid=1 \
    --address="unix:path=$tmp/bus" | {
    read -r address
    read -r pid
    echo "export DBUS_SESSION_BUS_ADDRESS='$address' DBUS_SESSION_BUS_PID='$pid'"
})"
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$tmp/a11y-bus.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
        >/dev/null 2>&1 && break
    sleep 0.05
done

"$service" >"$tmp/service.log" 2>&1 &
pids+=($!)
url=""
for _ in $(seq 1 100); do
    url=$(sed -n 's/^listening on //p' "$tmp/service.log")
    [ -n "$url" ] && break
    sleep 0.05
done
if [ -z "$url" ]; then
    echo "FAIL: the sample service did not start" >&2
    cat "$tmp/service.log" >&2
    exit 1
fi

# A desktop in English: Qt's own texts must be Chinese all the same.
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 "$folder/trackoro" \
    --tracking-url "$url" --update-url "${url}jc.txt" --branch-url "${url%/}" \
    >"$tmp/program.log" 2>&1 &
pids+=($!)

status=0
/usr/bin/python3 "$reader" || status=$?
if [ "$status" != 0 ]; then
    echo "--- the program's output:" >&2
    cat "$tmp/program.log" >&2
fi
exit "$status"
