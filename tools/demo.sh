#!/usr/bin/env bash
# kelto's main job, end to end: installs what is missing, builds, lays out the working folder
# (programs, Languages, codec packages, Base.xml), makes a few demo sources with the real
# encoders, and opens the desktop program with them in its list (output to demo/output). Without
# a display it says so and converts them all to MP3 with kelto-cli instead.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash tools/setup.sh
cmake -S "$root" -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Only what the demo runs: both programs bring the language libraries and the codec packages.
cmake --build build -j "$(nproc)" --target kelto-cli kelto

work="$root/build/work"
sources="$root/demo/sources"
output="$root/demo/output"
rm -rf "$root/demo"
mkdir -p "$sources" "$output"

echo "== making demo sources in $sources"
tone() { # file, rate, channels, seconds, frequency
  sox -q -n -r "$2" -c "$3" -b 16 "$1" synth "$4" sine "$5" gain -6
}
tone "$sources/a-stereo-44k.wav" 44100 2 3 440
tone "$sources/b-stereo-48k.wav" 48000 2 3 523.25
tone "$sources/c-mono-44k.wav" 44100 1 2 659.25
tone "$sources/tmp-d.wav" 48000 2 3 392
tone "$sources/tmp-e.wav" 44100 2 3 349.23
tone "$sources/tmp-f.wav" 44100 2 3 293.66
tone "$sources/tmp-g.wav" 48000 1 2 261.63
flac -s -f -o "$sources/d-stereo-48k.flac" "$sources/tmp-d.wav"
lame --quiet -V 2 "$sources/tmp-e.wav" "$sources/e-stereo-44k.mp3"
oggenc -Q -q 5 -o "$sources/f-stereo-44k.ogg" "$sources/tmp-f.wav"
wavpack -q -y "$sources/tmp-g.wav" -o "$sources/g-mono-48k.wv"
rm -f "$sources"/tmp-*.wav
ls -l "$sources"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  # The desktop program reads its working folder: the demo sources as its remembered list,
  # and the demo's output folder.
  ls "$sources"/* > "$work/FileList.m3u"
  if [ ! -f "$work/Settings.ini" ]; then
    printf '[Settings.General]\nOutputFolderSameAsOriginal=0\nOutputFolder=%s\n' "$output" \
      > "$work/Settings.ini"
  fi
  echo "== starting kelto in $work with the demo sources listed: pick a coder and a preset and"
  echo "   press Start (a first run writes to $output)"
  cd "$work" && exec ./kelto
fi

echo "== no display: converting to MP3 with kelto-cli instead of the desktop program"
status=0
"$work/kelto-cli" --workdir "$work" --coder MP3 --preset "VBR V2 (about 190 kbit/s)" --threads 2 \
  --output "$output" "$sources" || status=$?

echo
echo "Results are in $output:"
ls -l "$output"
echo
echo "The working folder is $work (kelto-cli --workdir $work --help lists every option)."
echo "With a display, start the desktop program with: (cd $work && ./kelto)"
exit $status
