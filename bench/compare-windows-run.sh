#!/usr/bin/env bash
# velnor-cli.exe run under Wine against the Linux velnor-cli run, over the same
# tree of real pages, whole process (Wine's start included), side by side; then
# both dry runs (read and compact, write nothing) and Wine's start alone.
#
#   bash bench/compare-windows-run.sh [CORPUS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=${1:-/tmp/velnor-corpus}
cli=${CLI:-$root/build/bin/velnor-cli}
exe=${EXE:-$root/build-win/bin/velnor-cli.exe}
work=$(mktemp -d)

[ -x "$cli" ] && [ -f "$exe" ] || { echo "build first: velnor-cli and velnor-cli.exe" >&2; exit 1; }
# the tests' Wine: prefix and locale of the cross build's folder
export WINEPREFIX=$root/build-win/wine WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= \
  LOCPATH=$root/build-win/locale
wine="env LC_ALL=zh_CN.UTF-8 wine" # the shell itself knows no such locale
# kept up between runs, as it stays up while a Windows session lasts
wineserver -p
trap 'wineserver -k; rm -rf "$work"' EXIT
find "$corpus/real" -type f -exec cat {} + > /dev/null
fresh="rm -rf $work/tree && cp -r $corpus/real $work/tree && sync"
hyperfine --runs "${RUNS:-5}" --style basic --export-json "$work/run.json" \
  -n "velnor-cli run (Linux)" --prepare "$fresh" "$cli run --no-backup --yes $work/tree" \
  -n "velnor-cli.exe run (Wine)" --prepare "$fresh" "$wine $exe run --no-backup --yes $work/tree" \
  -n "velnor-cli run --dry-run (Linux)" --prepare "$fresh" \
  "$cli run --dry-run --no-backup --yes $work/tree" \
  -n "velnor-cli.exe run --dry-run (Wine)" --prepare "$fresh" \
  "$wine $exe run --dry-run --no-backup --yes $work/tree" \
  -n "velnor-cli.exe --version (Wine)" --prepare true "$wine $exe --version"
python3 "$root/bench/medians.py" "$work/run.json"
ls -l "$exe" | awk '{print "velnor-cli.exe:", $5, "bytes as built"}'
x86_64-w64-mingw32-strip -o "$work/stripped.exe" "$exe"
ls -l "$work/stripped.exe" | awk '{print "velnor-cli.exe:", $5, "bytes stripped, as in the zip"}'
