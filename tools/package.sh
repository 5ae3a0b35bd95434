#!/usr/bin/env bash
# Builds the Debian package of kelto from the plain build (configured as tools/test.sh does),
# checks it with lintian and prints the path of the .deb on its last line.
#   tools/package.sh [BUILD-FOLDER]        (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(realpath -m "${1:-$root/build}")

bash tools/setup.sh >&2
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELTO_WERROR=ON >&2
# Only what the package holds; the languages come with kelto.
cmake --build "$build" -j "$(nproc)" --target kelto kelto-cli kel_compare kelto_manual_pdf \
  kelto_compressed_docs >&2
rm -rf "$build/package"
(cd "$build" && cpack -G DEB >&2)
deb=$(ls "$build"/package/kelto_*.deb)

# lintian, with each tag that remains on purpose named and explained:
#  - no-changelog: ... (none so far)
suppressed=(
  # The Plugins and Languages libraries are loaded by kelto with dlopen and take the host's
  # exported string table from the program; they are no public libraries to link against.
  shared-library-lacks-prerequisites
)
echo "package: lintian $(basename "$deb")" >&2
lintian --fail-on error,warning --tag-display-limit 0 \
  --suppress-tags "$(IFS=,; echo "${suppressed[*]}")" "$deb" >&2
echo "$deb"
