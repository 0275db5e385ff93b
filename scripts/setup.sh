#!/usr/bin/env bash
# Installs whatever is missing of the scripts/packages.txt groups named
# (apt-get update once, then install):
#
#   bash scripts/setup.sh GROUP...
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
[ $# -gt 0 ] || { echo "usage: bash scripts/setup.sh GROUP..." >&2; exit 2; }
declare -A asked=() known=()
for g in "$@"; do asked[$g]=1; done
wanted=()
group=""
while read -r line; do
  line=${line%%#*}
  line=${line%"${line##*[![:space:]]}"}
  case $line in
    "") ;;
    \[*\]) group=${line:1:-1}; known[$group]=1 ;;
    *)
      # A package outside any group would be installed by no command.
      [ -n "$group" ] || { echo "scripts/packages.txt: $line is in no group" >&2; exit 2; }
      [ -z "${asked[$group]:-}" ] || wanted+=("$line") ;;
  esac
done <"$here/packages.txt"
for g in "$@"; do
  [ -n "${known[$g]:-}" ] || { echo "scripts/packages.txt has no group [$g]" >&2; exit 2; }
done

missing=()
for p in $(printf '%s\n' "${wanted[@]}" | sort -u); do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
