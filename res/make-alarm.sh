#!/usr/bin/env bash
# Makes the lock's alarm sound with sox: two tones alternating four times a second for one
# second, as 8-bit mono PCM at 11025 Hz (about 11 KB). Plain sine tones and no dither, so
# the same sox writes the same bytes every time.
# Usage: res/make-alarm.sh [out.wav]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/alarm.wav}

rate=11025
high=988     # B5
low=784      # G5
beat=0.125   # seconds per tone
volume=0.6

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# One high-low pair with short fades so that the tone changes do not click.
sox -D -n -r $rate -c 1 -b 16 "$work/high.wav" synth $beat sine $high vol $volume fade t 0.005 $beat 0.005
sox -D -n -r $rate -c 1 -b 16 "$work/low.wav" synth $beat sine $low vol $volume fade t 0.005 $beat 0.005
sox -D "$work/high.wav" "$work/low.wav" "$work/high.wav" "$work/low.wav" \
       "$work/high.wav" "$work/low.wav" "$work/high.wav" "$work/low.wav" \
       -r $rate -c 1 -b 8 -e unsigned-integer "$work/alarm.wav"
mv -f "$work/alarm.wav" "$out"
