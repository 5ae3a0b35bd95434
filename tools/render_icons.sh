#!/usr/bin/env bash
# Renders icons/kelto.svg into the hicolor PNG sizes under icons/hicolor (rsvg-convert, from
# Debian's librsvg2-bin). The PNGs are committed; run this after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/../icons"
for size in 16 24 32 48 64 128 256; do
  mkdir -p "hicolor/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" kelto.svg -o "hicolor/${size}x${size}/apps/kelto.png"
done
