#!/usr/bin/env bash
# Takes the README's screenshots of the desktop program under Xvfb: the main window with a
# list of demo files, and the job window during a run. Drives the real program as a user
# would (xdotool opens the SampleMatch plug-in and presses Start). Writes docs/main-window.png,
# docs/samplematch.png and docs/job-window.png.
# tools/dialog-shots.sh takes pictures of every dialog in several languages and scales.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(realpath "${1:-$root/build}")
bash tools/setup.sh >/dev/null
cmake --build "$build" -j "$(nproc)" --target kelto >/dev/null

scratch=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$scratch"' EXIT
work="$scratch/work"
sources="$scratch/Music"
mkdir -p "$work/Codecs" "$sources" "$scratch/out"
for name in Coders Decoders Languages Plugins; do ln -s "$build/work/$name" "$work/$name"; done
cp "$build/work/Base.xml" "$work/"

# Long enough that the job window is still open when it is photographed.
n=0
for song in "01 Morning Raga" "02 Blue in Green" "03 Harbour Lights" "04 So What" \
            "05 Nightfall" "06 Solar" "07 Freddie Freeloader" "08 Flamenco Sketches"; do
  n=$((n + 1))
  sox -q -n -r 44100 -c 2 -b 16 "$scratch/t.wav" synth 150 sine $((200 + 40 * n)) gain -8
  case $((n % 3)) in
    0) flac -s -f -o "$sources/$song.flac" "$scratch/t.wav" ;;
    1) wavpack -q -y "$scratch/t.wav" -o "$sources/$song.wv" ;;
    2) oggenc -Q -o "$sources/$song.ogg" "$scratch/t.wav" ;;
  esac
done
rm -f "$scratch/t.wav"
ls "$sources"/* > "$work/FileList.m3u"
cat > "$work/Settings.ini" <<INI
[Settings]
CoderIndex=3
PresetIndex=1
[Settings.Core]
ThreadsCount=2
[Settings.General]
OutputFolderSameAsOriginal=0
OutputFolder=$scratch/out
INI

# The main window, the five Options pages and the job window, per language and scale. Each
# shot starts the program afresh: the Options dialog opens on the page Settings.ini names.

display=:93
Xvfb $display -screen 0 1100x700x24 -nolisten tcp >/dev/null 2>&1 &
sleep 1
export DISPLAY=$display
(cd "$work" && exec "$build/work/kelto" >/dev/null 2>&1) &
sleep 3
main=$(xdotool search --sync --name '^kelto ' | head -1)
mkdir -p docs
import -window "$main" docs/main-window.png
# The plug-ins menu (third in the menu bar) and SampleMatch, its only entry.
xdotool windowfocus --sync "$main" mousemove --window "$main" 130 9 click 1
sleep 1
xdotool mousemove --window "$main" 160 32 click 1
sample=$(xdotool search --sync --name '^SampleMatch$' | head -1)
sleep 1
import -window "$sample" docs/samplematch.png
xdotool windowfocus --sync "$sample" key Escape
sleep 1
# Enter presses the default button, Start.
xdotool windowfocus --sync "$main" key Return
jobs_window=$(xdotool search --sync --name '^Job Control$' | head -1)
sleep 4
import -window "$jobs_window" docs/job-window.png
# Closing from outside (as a logout does) stops the run, cleans up and saves.
kill -TERM "$(pgrep -f "^$build/work/kelto$" | head -1)" 2>/dev/null || true
sleep 2
echo "wrote docs/main-window.png, docs/samplematch.png and docs/job-window.png"
