# shellcheck shell=bash
# Uses the Windows program under Wine as a user would: real key presses (xdotool) on the X
# server Wine draws on, the clipboard (xclip) for Chinese text, the sample service on
# 127.0.0.1, and an audio server of its own whose output is recorded. Source it after
# tools/windows/wine-env (trackoro_wine_env done) and autotests/support/recorded_audio.sh,
# then:
#   driver_service_start <service> <folder>  starts the sample service; sets DRIVER_URL
#   driver_audio_start <folder>              starts PulseAudio with a recorded null sink
#   driver_audio_stop                        ends the recording (<folder>/recording.raw)
#   driver_start <exe> <working folder>      starts the program against the sample service and
#                                            waits until it has loaded (its update check)
#   driver_fill_and_query <number> <remark>  at the start: types the number, picks the first
#                                            courier, pastes the remark, presses Enter
#   driver_query_again                       presses Enter in the remark box again
#   driver_query_number <number>             from the remark box: the number box, the new
#                                            number typed, Enter
#   driver_export <windows path>             from the remark box: the menu's first entry
#                                            (导出), the path pasted into the save dialog
#   driver_window_shot <png>                 the program's window as drawn
#   driver_stop                              ends the program (and the service, the audio)
# Each step returns non-zero, with a line on stderr, when what it waits for does not come.

DRIVER_PID=
DRIVER_SERVICE_PID=

# driver_wait <tenths of a second> <command...>: until the command succeeds.
driver_wait() {
    local tenths=$1
    shift
    local _
    for _ in $(seq "$tenths"); do
        "$@" && return 0
        sleep 0.1
    done
    "$@"
}

driver_service_start() {
    local service=$1 folder=$2
    DRIVER_SERVICE_LOG=$folder/service.log
    "$service" >"$DRIVER_SERVICE_LOG" 2>&1 &
    DRIVER_SERVICE_PID=$!
    driver_wait 100 grep -q '^listening on ' "$DRIVER_SERVICE_LOG" || {
        echo "the sample service did not start: $(cat "$DRIVER_SERVICE_LOG")" >&2
        return 1
    }
    DRIVER_URL=$(sed -n 's/^listening on //p' "$DRIVER_SERVICE_LOG")
}

driver_requests() {
    grep -c "^request: $1" "$DRIVER_SERVICE_LOG" || true
}

# driver_await_request <prefix> <count before>: until the service has answered one more
# request starting so.
driver_await_request() {
    local prefix=$1 before=$2
    driver_more() { [ "$(driver_requests "$prefix")" -gt "$before" ]; }
    driver_wait 300 driver_more || {
        echo "no request $prefix reached the sample service" >&2
        return 1
    }
}

driver_audio_start() {
    recorded_audio_start "$1" && recorded_audio_record "$1/recording.raw"
}

driver_audio_stop() {
    recorded_audio_stop
}

driver_start() {
    local exe=$1 folder=$2
    local checks
    checks=$(driver_requests /jc.txt)
    (cd "$folder" && exec "$TRACKORO_WINE" "$(winepath_of "$exe")" --tracking-url "$DRIVER_URL" \
        --update-url "${DRIVER_URL}jc.txt" --branch-url "${DRIVER_URL%/}" \
        >"$folder/program.log" 2>&1) &
    DRIVER_PID=$!
    DRIVER_WINDOW=
    local _
    for _ in $(seq 300); do
        DRIVER_WINDOW=$(xdotool search --name '^Trackoro V3' 2>/dev/null | head -n 1) || true
        [ -n "$DRIVER_WINDOW" ] && break
        kill -0 "$DRIVER_PID" 2>/dev/null || break
        sleep 0.1
    done
    if [ -z "$DRIVER_WINDOW" ]; then
        echo "the program opened no window: $(head -c 400 "$folder/program.log")" >&2
        return 1
    fi
    # The query button is enabled once the update check is answered.
    driver_await_request /jc.txt "$checks" || return 1
    sleep 1
}

# driver_paste <text>: the text into the focused box through the clipboard (Wine maps keys
# to characters through its own key table, which knows no Chinese).
driver_paste() {
    printf '%s' "$1" | xclip -selection clipboard -loops 1 &
    local clip=$!
    sleep 0.3
    xdotool key ctrl+a ctrl+v
    wait "$clip" 2>/dev/null || true
    sleep 0.3
}

# driver_enter <number>: Enter, then waits for the query of <number> and its outcome.
driver_enter() {
    local before
    before=$(driver_requests "/?.*nu=$1")
    xdotool key Return
    driver_await_request "/?.*nu=$1" "$before" || return 1
    # The answer shown, written down and heard.
    sleep 2
}

driver_fill_and_query() {
    local number=$1 remark=$2
    driver_focus
    xdotool type --delay 40 "$number"
    xdotool key Tab
    sleep 0.2
    xdotool key Down
    sleep 0.2
    xdotool key Tab
    driver_paste "$remark"
    driver_enter "$number"
}

driver_query_again() {
    local number=$1
    driver_focus
    driver_enter "$number"
}

driver_query_number() {
    local number=$1
    driver_focus
    xdotool key shift+Tab shift+Tab
    sleep 0.2
    xdotool key ctrl+a
    xdotool type --delay 40 "$number"
    driver_enter "$number"
}

# The visible windows (dialogs under Wine have no name), one id a line.
driver_windows() {
    xdotool search --onlyvisible --class '.' 2>/dev/null | sort
}

# driver_await_window <windows before>: until a window not among them shows; prints its id.
driver_await_window() {
    local before=$1 _ new
    for _ in $(seq 150); do
        new=$(comm -13 <(echo "$before") <(driver_windows) | head -n 1)
        [ -n "$new" ] && { echo "$new"; return 0; }
        sleep 0.1
    done
    return 1
}

driver_export() {
    local path=$1 unix_path before dialog box
    unix_path=$("$TRACKORO_WINE" winepath -u "$path" 2>/dev/null)
    # Remark box -> query button -> history button -> the menu box; its first entry.
    driver_focus
    xdotool key Tab Tab Tab
    sleep 0.2
    before=$(driver_windows)
    xdotool key Down
    dialog=$(driver_await_window "$before") || {
        echo "no save dialog opened" >&2
        return 1
    }
    sleep 1
    before=$(driver_windows)
    driver_paste "$path"
    xdotool key Return
    driver_wait 100 test -s "$unix_path" || {
        echo "nothing was exported to $path" >&2
        return 1
    }
    # The message that says so, closed; then back to the remark box.
    box=$(driver_await_window "$before") || {
        echo "no message after the export" >&2
        return 1
    }
    sleep 0.5
    xdotool key Return
    driver_gone() { ! xdotool search --onlyvisible --class '.' 2>/dev/null | grep -qx "$box"; }
    driver_wait 50 driver_gone
    xdotool key shift+Tab shift+Tab shift+Tab
    sleep 0.2
}

driver_window_shot() {
    import -window "$DRIVER_WINDOW" "$1"
}

# The program's window to the front with the keyboard, as a click on it would (under Wine
# the tray's own window can take the focus when a notice shows).
driver_focus() {
    xdotool windowactivate --sync "$DRIVER_WINDOW" >/dev/null 2>&1 ||
        xdotool windowfocus --sync "$DRIVER_WINDOW" >/dev/null 2>&1 || true
    sleep 0.3
}

# driver_end <pid>: ends a process started here, if any, and waits for it.
driver_end() {
    [ -n "$1" ] || return 0
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

driver_stop() {
    driver_end "$DRIVER_PID"
    DRIVER_PID=
}

driver_service_stop() {
    driver_end "$DRIVER_SERVICE_PID"
    DRIVER_SERVICE_PID=
}
