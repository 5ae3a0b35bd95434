#!/usr/bin/env bash
# Installs the Debian packages kelto needs to build, test and run, when they are missing.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  # libraries
  libgtest-dev libgmock-dev libbenchmark-dev libpugixml-dev libmediainfo0v5 nlohmann-json3-dev
  libtag1-dev qt6-base-dev qt6-base-dev-tools libgl-dev libebur128-dev
  # the desktop program's tests and screenshots
  xvfb xauth x11-apps xdotool imagemagick fonts-dejavu-core fonts-ipafont-gothic
  # Qt's own texts (file dialogs, standard buttons) in the window's language
  qt6-translations-l10n
  # renders the application icon (tools/render_icons.sh)
  librsvg2-bin
  # the Debian package and its checks (tools/package.sh, tools/install-test.sh)
  dpkg-dev lintian desktop-file-utils appstream
  # codec programs kelto runs, and tools the tests and benchmarks use
  flac lame vorbis-tools opus-tools wavpack speex ffmpeg musepack-tools sox mediainfo parallel
  # the loudness tests check kelto's figures against loudgain
  loudgain
  # the legacy (format type 1) 24- and 32-bit WAV files of the codec tests, from Python's wave;
  # the locale sources SampleMatch's test compiles a decimal-comma locale from
  python3 locales
  # the manual's tests read the PDF and check the man pages
  poppler-utils groff-base man-db
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "setup: all packages present"
fi
