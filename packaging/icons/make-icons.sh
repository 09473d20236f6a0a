#!/usr/bin/env bash
# Renders the application icon from its SVG into the hicolor PNG sizes kept in the repository.
# Run after editing org.lumicut.Lumicut.svg; the build itself only copies the PNGs.
set -euo pipefail
cd "$(dirname "$0")"
command -v rsvg-convert >/dev/null || { echo "make-icons: rsvg-convert missing (apt-get install librsvg2-bin)" >&2; exit 1; }
for size in 16 32 48 64 128 256; do
  mkdir -p "hicolor/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" org.lumicut.Lumicut.svg -o "hicolor/${size}x${size}/apps/org.lumicut.Lumicut.png"
done
