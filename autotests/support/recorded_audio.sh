# shellcheck shell=bash
# A PulseAudio server of a test's own, one null sink whose output is recorded, for what a
# program plays to be heard and measured. Its own runtime and home folders: nothing of a
# user's sound set-up is read or written. Source it, then:
#   recorded_audio_start <folder>   starts the server; exports PULSE_SERVER for what follows
#   recorded_audio_record <file>    records the sink into <file> (16-bit mono samples at
#                                   44100 Hz) until recorded_audio_cut
#   recorded_audio_cut              ends the recording
#   recorded_audio_stop             ends the recording and the server
# Each returns non-zero, with a line on stderr, when the server or the recording fails.

RECORDED_AUDIO_SERVER_PID=
RECORDED_AUDIO_RECORDER_PID=

recorded_audio_start() {
    local folder=$1 _
    HOME=$folder XDG_RUNTIME_DIR=$folder XDG_CONFIG_HOME=$folder PULSE_SERVER= \
        pulseaudio -n -F /dev/null --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
        --disable-shm=yes --load="module-null-sink sink_name=null" \
        --load="module-native-protocol-unix socket=$folder/pulse.sock" \
        >"$folder/pulseaudio.log" 2>&1 &
    RECORDED_AUDIO_SERVER_PID=$!
    export PULSE_SERVER=unix:$folder/pulse.sock
    for _ in $(seq 100); do
        pactl info >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "no audio server: $(cat "$folder/pulseaudio.log")" >&2
    return 1
}

recorded_audio_record() {
    local file=$1 _
    parec -d null.monitor --format=s16le --channels=1 --rate=44100 --latency-msec=20 --raw \
        >"$file" &
    RECORDED_AUDIO_RECORDER_PID=$!
    # Recording has begun once the first samples (silence) arrive.
    for _ in $(seq 100); do
        [ -s "$file" ] && return 0
        sleep 0.05
    done
    echo "parec records nothing" >&2
    return 1
}

recorded_audio_cut() {
    if [ -n "$RECORDED_AUDIO_RECORDER_PID" ]; then
        kill "$RECORDED_AUDIO_RECORDER_PID" 2>/dev/null || true
        wait "$RECORDED_AUDIO_RECORDER_PID" 2>/dev/null || true
    fi
    RECORDED_AUDIO_RECORDER_PID=
    return 0
}

recorded_audio_stop() {
    recorded_audio_cut
    if [ -n "$RECORDED_AUDIO_SERVER_PID" ]; then
        kill "$RECORDED_AUDIO_SERVER_PID" 2>/dev/null || true
        wait "$RECORDED_AUDIO_SERVER_PID" 2>/dev/null || true
    fi
    RECORDED_AUDIO_SERVER_PID=
    unset PULSE_SERVER
    return 0
}
