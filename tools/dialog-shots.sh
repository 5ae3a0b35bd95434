#!/usr/bin/env bash
# Pictures of every window and dialog of the desktop program in English, German and Russian, at
# scale 1 and 2, under Xvfb: for looking at each for texts that are cut or do not fit.
#   tools/dialog-shots.sh [BUILD-FOLDER] [OUTPUT-FOLDER]
# Writes <language>-<scale>-<window>.png into OUTPUT-FOLDER (default BUILD-FOLDER/shots).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(realpath "${1:-$root/build}")
out=$(realpath -m "${2:-$build/shots}")
bash tools/setup.sh >/dev/null
cmake --build "$build" -j "$(nproc)" --target kelto kel_compare kelto_dialog_shots >/dev/null

scratch=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$scratch"' EXIT
work="$scratch/work"
mkdir -p "$work/Codecs" "$scratch/Music" "$scratch/out" "$out"
for name in Coders Decoders Languages Plugins; do ln -s "$build/work/$name" "$work/$name"; done
cp "$build/work/Base.xml" "$work/"
# Long enough that the job window has something to show before it is stopped.
sox -q -n -r 44100 -c 2 -b 16 "$scratch/t.wav" synth 40 sine 330 gain -8
flac -s -f -o "$scratch/Music/01 Ouverture à l'été.flac" "$scratch/t.wav"
wavpack -q -y "$scratch/t.wav" -o "$scratch/Music/02 Sånger från Göteborg.wv"
lame --quiet "$scratch/t.wav" "$scratch/Music/03 夜の散歩.mp3"
rm -f "$scratch/t.wav"
ls "$scratch/Music"/* > "$work/FileList.m3u"

display=:92
Xvfb $display -screen 0 2600x1800x24 -nolisten tcp >/dev/null 2>&1 &
sleep 1
for language in en:C.UTF-8 de:de_DE.UTF-8 ru:ru_RU.UTF-8; do
  for scale in 1 2; do
    cat > "$work/Settings.ini" <<INI
[Settings]
CoderIndex=1
PresetIndex=1
[Settings.Core]
ThreadsCount=2
[Settings.General]
OutputFolderSameAsOriginal=0
OutputFolder=$scratch/out
RememberFileList=1
INI
    rm -f "$scratch/out"/*
    (cd "$work" && DISPLAY=$display QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale \
       LANG=${language#*:} LC_ALL= "$build/work/kelto_dialog_shots" "$out" \
       "${language%%:*}-$scale")
  done
done
echo "pictures in $out"
