#!/usr/bin/env bash
# Takes the README's screenshots from the real program under a virtual X display.
# Needs the Debian packages xvfb and xauth; writes docs/screenshots/*.png.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/setup.sh
trackoro_install xvfb xauth fonts-droid-fallback
trackoro_build build >/dev/null
mkdir -p docs/screenshots
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" \
    build/bin/trackoro-screenshots docs/screenshots
