#!/usr/bin/env bash
# Installs what the build needs, builds Parcelo and starts the windowed program from the
# build folder, where config.xml and the help file lie beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: start Parcelo from a desktop session (or under xvfb-run)." >&2
  exit 1
fi
exec build/bin/Parcelo
