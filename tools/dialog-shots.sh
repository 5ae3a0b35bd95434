#!/usr/bin/env bash
# Pictures of every window and dialog of the desktop program in English, German and Russian, at
# scale 1 and 2, under Xvfb: for looking at each for texts that are cut or do not fit.
#   tools/dialog-shots.sh [BUILD-FOLDER] [OUTPUT-FOLDER]
# SHOT_LANGUAGES=all takes every shipped language; SHOT_SCALES="2" only scale 2.
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

languages="en:C.UTF-8 de:de_DE.UTF-8 ru:ru_RU.UTF-8"
if [[ ${SHOT_LANGUAGES:-} == all ]]; then
  languages="$languages fr:fr_FR.UTF-8 es:es_ES.UTF-8 it:it_IT.UTF-8 pt_BR:pt_BR.UTF-8"
  languages="$languages pl:pl_PL.UTF-8 nl:nl_NL.UTF-8 sv:sv_SE.UTF-8"
fi
# A display no other program uses: Xvfb picks it and names it once it is ready.
Xvfb -displayfd 5 -screen 0 2600x1800x24 -nolisten tcp 5>"$scratch/display" >/dev/null 2>&1 &
while [[ ! -s $scratch/display ]]; do sleep 0.2; done
display=:$(head -1 "$scratch/display")
for language in $languages; do
  for scale in ${SHOT_SCALES:-1 2}; do
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
