#!/usr/bin/env bash
# A run from the window against `velnor-cli run --yes` on a 20 MiB copy of the
# corpus pages, backup on for both, side by side under a virtual X server.
#
#   bash bench/window-run.sh [CORPUS]
#
# Needs xvfb, xauth and xdotool; VELNOR and CLI name the programs (default:
# build-release/bin/velnor and velnor-cli), RUNS the runs of each (default 5),
# EARLIER an earlier build's window to measure alongside.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=${1:-/tmp/velnor-corpus}
velnor=${VELNOR:-$root/build-release/bin/velnor}
cli=${CLI:-$root/build-release/bin/velnor-cli}

for program in "$velnor" "$cli"; do
  [ -x "$program" ] || { echo "build first: $program is missing" >&2; exit 1; }
done
find "$corpus/real" -type f -exec cat {} + > /dev/null
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96 -nolisten tcp" \
  python3 "$root/bench/window_run.py" "$velnor" "$cli" "$corpus/real" "${RUNS:-5}" ${EARLIER:+"$EARLIER"}
