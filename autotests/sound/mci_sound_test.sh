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

source "$(dirname "$0")/../support/recorded_audio.sh"
dir=$(mktemp -d)
trap 'recorded_audio_stop; rm -rf "$dir"' EXIT

recorded_audio_start "$dir"
recorded_audio_record "$dir/recording.raw"
sleep 0.3

windows_path() {
    printf 'Z:%s' "$(realpath "$1" | tr / '\\')"
}
# 1.5 s apart: each sound can be heard whole before the next one is asked for.
"$wine" "$check" play "$(windows_path "$sound")" "$times" 1500
# What the audio server still holds of the last sound.
sleep 1
recorded_audio_cut

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
recorded_audio_record "$dir/missing.raw"
play_quickly "$("$wine" "$check" play "$(windows_path "$dir")\\missing.mp3" 1 1500)"
recorded_audio_cut
"$wine" "$check" tones "$(windows_path "$dir/missing.raw")" 0 0 | tr -d '\r'

# No audio server at all: the program goes on, silent.
play_quickly "$(PULSE_SERVER=unix:$dir/none.sock "$wine" "$check" play "$(windows_path "$sound")" 1 500)"
echo "PASS: no audio server: silence, and play() returned at once"
