#!/usr/bin/env bash
# Takes the README's screenshots of the desktop program under Xvfb: the main window with a
# list of demo files, and the job window during a run. Drives the real program as a user
# would (xdotool opens the SampleMatch plug-in and presses Start). Writes docs/main-window.png,
# docs/samplematch.png and docs/job-window.png.
# With --dialogs it shoots instead the main window, every Options page and the job window in
# every shipped language at scale 1 and 2, into <build>/screenshots/<language>-x<scale>/
# (SHOT_LANGUAGES="German russian" and SHOT_SCALES="2" narrow that down).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
mode=readme
if [[ ${1:-} == --dialogs ]]; then mode=dialogs; shift; fi
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
shoot_dialogs() {
  local out="$build/screenshots"
  local -A locales=([English]=en_US [german]=de_DE [russian]=ru_RU [french]=fr_FR
    [spanish]=es_ES [italian]=it_IT [portugues_br]=pt_BR [polish]=pl_PL [dutch]=nl_NL
    [swedish]=sv_SE)
  cp "$work/Settings.ini" "$scratch/Settings.base"
  # A display no other program uses: Xvfb picks it and names it once it is ready.
  Xvfb -displayfd 5 -screen 0 2600x1800x24 -nolisten tcp 5>"$scratch/display" >/dev/null 2>&1 &
  local xvfb=$!
  while [[ ! -s $scratch/display ]]; do sleep 0.2; done
  export DISPLAY=:$(head -1 "$scratch/display")
  local library language scale dir page pid main win
  for library in "$build"/work/Languages/*.so; do
    language=$(basename "$library" .so)
    [[ -n ${locales[$language]:-} ]] || continue
    if [[ -n ${SHOT_LANGUAGES:-} && " ${SHOT_LANGUAGES,,} " != *" ${language,,} "* ]]; then
      continue
    fi
    for scale in ${SHOT_SCALES:-1 2}; do
      dir="$out/$language-x$scale"
      mkdir -p "$dir"
      for page in main 0 1 2 3 4 jobs; do
        cp "$scratch/Settings.base" "$work/Settings.ini"
        if [[ $page == [0-4] ]]; then
          sed -i "s/^\[Settings\]$/[Settings]\nOptionsInitialPage=$page/" "$work/Settings.ini"
        fi
        (cd "$work" && LANG=${locales[$language]}.UTF-8 LC_ALL= QT_SCALE_FACTOR=$scale \
          exec "$build/work/kelto" >/dev/null 2>&1) &
        pid=$!
        main=$(xdotool search --sync --pid $pid --name '^kelto ' | head -1)
        sleep 2
        case $page in
          main) import -window "$main" "$dir/main.png" ;;
          jobs)
            # Enter presses the default button, Start.
            xdotool windowfocus --sync "$main" key Return
            sleep 3
            win=$(xdotool search --onlyvisible --pid $pid --name . | grep -v "^$main$" | tail -1)
            import -window "$win" "$dir/jobs.png" ;;
          *)
            # The first menu's first entry is Options.
            xdotool windowfocus --sync "$main" mousemove --window "$main" $((12 * scale)) \
              $((8 * scale)) click 1
            sleep 1
            xdotool key Down Return
            sleep 2
            win=$(xdotool search --onlyvisible --pid $pid --name . | grep -v "^$main$" | tail -1)
            import -window "$win" "$dir/options-$page.png" ;;
        esac
        kill -TERM $pid 2>/dev/null || true
        wait $pid 2>/dev/null || true
      done
    done
  done
  kill $xvfb 2>/dev/null || true
  echo "wrote $out"
}
if [[ $mode == dialogs ]]; then shoot_dialogs; exit 0; fi

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
