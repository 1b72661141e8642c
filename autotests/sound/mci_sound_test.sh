#!/usr/bin/env bash
# The Windows sound output, heard: trackoro-sound-check (a Windows program, under Wine) plays
# a sound three times through the program's sound output, into a PulseAudio server of this
# test's own with one null sink, whose monitor is recorded on the Linux side (parec); the
# recording's tones are then counted and measured (trackoro-sound-check tones). Then a file
# that does not exist, and a sound with no audio server at all: silence, and play() returns
# at once.
#   mci_sound_test.sh <wine> <trackoro-sound-check.exe> <sound.mp3>
set -euo pipefail
wine=$1
check=$2
sound=$3
times=3

dir=$(mktemp -d)
server=
recorder=
cleanup() {
    [ -n "$recorder" ] && kill "$recorder" 2>/dev/null
    [ -n "$server" ] && kill "$server" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT

# Its own runtime and home folders: nothing of a user's sound set-up is read or written.
HOME=$dir XDG_RUNTIME_DIR=$dir XDG_CONFIG_HOME=$dir PULSE_SERVER= \
    pulseaudio -n -F /dev/null --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    --disable-shm=yes --load="module-null-sink sink_name=null" \
    --load="module-native-protocol-unix socket=$dir/pulse.sock" >"$dir/pulseaudio.log" 2>&1 &
server=$!
export PULSE_SERVER=unix:$dir/pulse.sock
for _ in $(seq 100); do
    pactl info >/dev/null 2>&1 && break
    sleep 0.1
done
pactl info >/dev/null

parec -d null.monitor --format=s16le --channels=1 --rate=44100 --latency-msec=20 --raw \
    >"$dir/recording.raw" &
recorder=$!
# Recording has begun once the first samples (silence) arrive.
for _ in $(seq 100); do
    [ -s "$dir/recording.raw" ] && break
    sleep 0.05
done
[ -s "$dir/recording.raw" ] || { echo "parec records nothing" >&2; exit 1; }
sleep 0.3

windows_path() {
    printf 'Z:%s' "$(realpath "$1" | tr / '\\')"
}
# 1.5 s apart: each sound can be heard whole before the next one is asked for.
"$wine" "$check" play "$(windows_path "$sound")" "$times" 1500
# What the audio server still holds of the last sound.
sleep 1
kill "$recorder"
wait "$recorder" 2>/dev/null || true
recorder=

# ts.mp3 is heard for over 0.4 s (its decoded samples, in the Linux sound test).
"$wine" "$check" tones "$(windows_path "$dir/recording.raw")" "$times" 0.4 | tr -d '\r'

# play_quickly <output>: the "play() took" times of <output> are all under a second (opening
# a device can take a third of a second under Wine; play() never waits for it).
play_quickly() {
    tr -d '\r' <<<"$1"
    local slow
    slow=$(tr -d '\r' <<<"$1" | awk '/play\(\) took/ && $(NF - 1) >= 1000')
    if [ -n "$slow" ] || ! grep -q 'play() took' <<<"$1"; then
        echo "FAIL: play() did not return at once"
        exit 1
    fi
}

# A file that does not exist: silence, recorded.
parec -d null.monitor --format=s16le --channels=1 --rate=44100 --latency-msec=20 --raw \
    >"$dir/missing.raw" &
recorder=$!
for _ in $(seq 100); do
    [ -s "$dir/missing.raw" ] && break
    sleep 0.05
done
play_quickly "$("$wine" "$check" play "$(windows_path "$dir")\\missing.mp3" 1 1500)"
kill "$recorder"
wait "$recorder" 2>/dev/null || true
recorder=
"$wine" "$check" tones "$(windows_path "$dir/missing.raw")" 0 0 | tr -d '\r'

# No audio server at all: the program goes on, silent.
play_quickly "$(PULSE_SERVER=unix:$dir/none.sock "$wine" "$check" play "$(windows_path "$sound")" 1 500)"
echo "PASS: no audio server: silence, and play() returned at once"
