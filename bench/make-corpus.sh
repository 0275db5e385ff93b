#!/usr/bin/env bash
# Build the benchmark corpus of real, third-party web pages from Debian
# documentation packages (bookworm).
#
#   bash bench/make-corpus.sh [OUTDIR]        (default OUTDIR: /tmp/velnor-corpus)
#
# Produces:
#   OUTDIR/real/...    every regular .html file of the packages below, tree kept
#                      (paths relative to /usr/share/doc)
#   OUTDIR/big.html    one ~20 MiB file: whole pages concatenated, every 5th
#                      page of the sorted tree (then the next residue class
#                      until the size is reached), so the mix follows the tree
#   OUTDIR/manifest.txt  package versions, file counts, sizes, whitespace share
#
# The packages are downloaded with apt-get and unpacked with dpkg-deb, not
# installed: slim images exclude /usr/share/doc from installs. Needs root (or
# sudo) only for `apt-get update`; set SKIP_APT_UPDATE=1 to skip that when lists
# are fresh.
set -euo pipefail

OUT=${1:-/tmp/velnor-corpus}
BIG_BYTES=$((20 * 1024 * 1024))
PKGS=(python3.11-doc postgresql-doc-15 sqlite3-doc git-doc)
DOCROOT=usr/share/doc

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
[ "${SKIP_APT_UPDATE:-0}" = 1 ] || $sudo apt-get update -q
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
(cd "$TMP" && apt-get download "${PKGS[@]}")

rm -rf "$OUT/real" "$OUT/big.html" "$OUT/manifest.txt"
mkdir -p "$OUT/real"
REAL=$(cd "$OUT/real" && pwd)

: > "$TMP/versions"
for p in "${PKGS[@]}"; do
  deb=$(ls "$TMP"/"${p}"_*.deb)
  echo "  $(dpkg-deb -f "$deb" Package) $(dpkg-deb -f "$deb" Version)" >> "$TMP/versions"
  mkdir -p "$TMP/root"
  dpkg-deb -x "$deb" "$TMP/root"
done
# Regular files only (git-doc ships one symlink).
(cd "$TMP/root/$DOCROOT" && find . -type f -name '*.html' -print0 | xargs -0 cp --parents -t "$REAL")
n=$(find "$REAL" -type f | wc -l)
[ "$n" -gt 2000 ] || { echo "only $n pages unpacked: package contents changed?" >&2; exit 1; }

# big.html: deterministic selection, independent of locale and find order.
(cd "$REAL" && find . -type f -name '*.html' | LC_ALL=C sort) > "$OUT/.pages"
total=0 pages=0
: > "$OUT/big.html"
for r in 0 1 2 3 4; do
  i=0
  while IFS= read -r f; do
    if [ $((i % 5)) -eq "$r" ] && [ "$total" -lt "$BIG_BYTES" ]; then
      cat "$REAL/$f" >> "$OUT/big.html"
      total=$((total + $(stat -c %s "$REAL/$f")))
      pages=$((pages + 1))
    fi
    i=$((i + 1))
  done < "$OUT/.pages"
  [ "$total" -ge "$BIG_BYTES" ] && break
done
rm -f "$OUT/.pages"

ws() { tr -cd ' \t\r\n' | wc -c; }
{
  echo "packages:"
  cat "$TMP/versions"
  for d in python3.11 postgresql-doc-15 sqlite3 git-doc; do
    n=$(find "$REAL/$d" -type f -name '*.html' | wc -l)
    b=$(find "$REAL/$d" -type f -name '*.html' -exec cat {} + | wc -c)
    echo "dir $d: files=$n bytes=$b"
  done
  n=$(find "$REAL" -type f -name '*.html' | wc -l)
  b=$(find "$REAL" -type f -name '*.html' -exec cat {} + | wc -c)
  w=$(find "$REAL" -type f -name '*.html' -exec cat {} + | ws)
  echo "real: files=$n bytes=$b whitespace=$w share=$(awk -v w="$w" -v b="$b" 'BEGIN{printf "%.4f", w/b}')"
  for kc in 'space: ' 'tab:\t' 'cr:\r' 'lf:\n'; do
    printf '  %s=%s' "${kc%%:*}" "$(find "$REAL" -type f -name '*.html' -exec cat {} + | tr -cd "${kc#*:}" | wc -c)"
  done
  echo
  b=$(wc -c < "$OUT/big.html")
  w=$(ws < "$OUT/big.html")
  echo "big.html: pages=$pages bytes=$b whitespace=$w share=$(awk -v w="$w" -v b="$b" 'BEGIN{printf "%.4f", w/b}')"
  echo "big.html sha256: $(sha256sum < "$OUT/big.html" | cut -d' ' -f1)"
  echo "real/ digest (sha256 of sorted sha256sum list): $(cd "$REAL" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum | sha256sum | cut -d' ' -f1)"
} | tee "$OUT/manifest.txt"
