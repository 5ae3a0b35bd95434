#!/usr/bin/env bash
# Installs kelto's Debian package on this machine and uses it as a new user would: as an
# ordinary user, kelto-cli lists its coders and converts a folder that lies outside any working
# folder; kelto opens its window under Xvfb, makes the user's working folder, and takes the
# file a second kelto hands over. Then the package is purged and nothing of it may remain in
# /usr. Needs root (or sudo) for dpkg and for making the test user.
#   tools/install-test.sh [BUILD-FOLDER]        (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath -m "${1:-build}")
if [ "$(id -u)" -eq 0 ]; then sudo=; else sudo=sudo; fi

deb=$(bash tools/package.sh "$build" | tail -1)
echo "install-test: $deb"
desktop-file-validate data/org.kelto.Kelto.desktop
appstreamcli validate --no-net data/org.kelto.Kelto.metainfo.xml >/dev/null

scratch=$(mktemp -d /tmp/kelto-install.XXXXXX)
chmod 755 "$scratch"
display=:$((90 + RANDOM % 9))
user=kelto-tester
made_user=
xvfb=
cleanup() {
  set +e
  [ -n "$xvfb" ] && kill -KILL "$xvfb" 2>/dev/null
  if [ -n "$made_user" ]; then pkill -KILL -u "$user" 2>/dev/null; $sudo userdel -r "$user" 2>/dev/null; fi
  if dpkg-query -W -f='${Status}' kelto 2>/dev/null | grep -q 'ok installed'; then
    $sudo dpkg --purge kelto >/dev/null
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "install-test: FAILED: $*" >&2; exit 1; }

# The test user: a new ordinary one when we are root, else ourselves with a home of our own.
if [ -z "$sudo" ]; then
  id "$user" >/dev/null 2>&1 && userdel -r "$user" 2>/dev/null || true
  useradd -m -s /bin/sh "$user"
  made_user=1
  home=$(getent passwd "$user" | cut -d: -f6)
  as_user=(runuser -u "$user" --)
else
  user=$(id -un)
  home="$scratch/home"
  mkdir -p "$home"
  as_user=()
fi
# A command as the test user, in a clean environment.
run=("${as_user[@]}" env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 DISPLAY="$display")

if dpkg-query -W -f='${Status}' kelto 2>/dev/null | grep -q 'ok installed'; then
  $sudo dpkg --purge kelto >/dev/null
fi
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
[ -x /usr/bin/kelto ] && [ -x /usr/bin/kelto-cli ] || fail "the commands are not in /usr/bin"

# Sources in a folder of the user's, outside any working folder.
music="$scratch/Music"
mkdir -p "$music"
sox -q -n -r 44100 -c 2 -b 16 "$music/one.wav" synth 3 sine 440 gain -6
sox -q -n -r 48000 -c 1 -b 16 "$scratch/t.wav" synth 2 sine 660 gain -6
flac -s -o "$music/two.flac" "$scratch/t.wav"
mkdir -p "$scratch/out"
chown -R "$user" "$music" "$scratch/out"

coders=$("${run[@]}" sh -c "cd '$music' && kelto-cli --list-coders") || fail "kelto-cli --list-coders"
grep -q MP3 <<<"$coders" && grep -q FLAC <<<"$coders" || fail "coders listed: $coders"
work="$home/.local/share/kelto"
[ -d "$work/Coders/FLAC" ] && [ ! -L "$work/Coders/FLAC" ] || fail "no copy of the packages in $work"
[ "$(readlink "$work/Coders/FLAC/flac")" = /usr/bin/flac ] || fail "the FLAC package's link"
[ -e "$work/Languages/English.so" ] && [ -e "$work/Manual/Manual.pdf" ] || fail "Languages or Manual"
"${run[@]}" sh -c "cd '$music' && kelto-cli --coder MP3 --preset 1 --output '$scratch/out' '$music'" \
  || fail "kelto-cli conversion"
[ -s "$scratch/out/one.mp3" ] && [ -s "$scratch/out/two.mp3" ] || fail "outputs: $(ls "$scratch/out")"
echo "install-test: kelto-cli listed its coders and converted $(ls "$scratch/out" | wc -l) files"

# The window: started from the menu's command, it works in the same folder.
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp -ac >/dev/null 2>&1 &
xvfb=$!
disown  # its end at the cleanup is no news
sleep 1
rm -f "$work/Settings.ini" "$work/FileList.m3u"
"${run[@]}" kelto >"$scratch/kelto.log" 2>&1 &
started=$!
window=
for _ in $(seq 60); do
  window=$(DISPLAY=$display xdotool search --onlyvisible --name '^kelto ' 2>/dev/null | head -1) || true
  [ -n "$window" ] && break
  sleep 0.5
done
[ -n "$window" ] || fail "kelto opened no window: $(cat "$scratch/kelto.log")"
DISPLAY=$display import -window root "$build/install-test-window.png" 2>/dev/null || true
# A second kelto hands its file to the running one and ends.
timeout 20 "${run[@]}" kelto "$music/one.wav" || fail "the second kelto did not hand over its file"
# SIGTERM closes the window as its close box does; runuser's child is kelto itself (env execs).
if ((${#as_user[@]})); then kelto_pid=$(pgrep -P "$started" | head -1); else kelto_pid=$started; fi
kill -TERM "$kelto_pid"
for _ in $(seq 40); do kill -0 "$kelto_pid" 2>/dev/null || break; sleep 0.5; done
! kill -0 "$kelto_pid" 2>/dev/null || fail "kelto did not close"
[ -s "$work/Settings.ini" ] || fail "kelto saved no Settings.ini in $work"
grep -q "$music/one.wav" "$work/FileList.m3u" || fail "the handed-over file is not in the list"
echo "install-test: kelto opened its window in $work and took the handed-over file"

files=$(dpkg -L kelto)
$sudo dpkg --purge kelto >/dev/null
left=$(while read -r f; do [ -e "$f" ] && [ ! -d "$f" ] && echo "$f"; done <<<"$files"; \
       find /usr -path '*kelto*' 2>/dev/null)
[ -z "$left" ] || fail "left after purge: $left"
echo "install-test: purged, nothing of kelto left in /usr"
