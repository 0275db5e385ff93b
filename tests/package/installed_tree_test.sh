#!/usr/bin/env bash
# installed_tree_test.sh BUILD VERSION GUI: installs BUILD into a temporary
# prefix and uses what it finds there as a user would: both programs, the
# manual pages, the bash completion and the desktop entry.
set -euo pipefail
build=$1 version=$2 gui=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

failed=0
expect() { # expect WHAT EXPECTED ACTUAL
    if [[ $2 != "$3" ]]; then
        printf 'FAILED: %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3"
        failed=$((failed + 1))
    fi
}

cli=$prefix/bin/velnor-cli
expect "velnor-cli --version" "velnor-cli $version" "$("$cli" --version)"
expect "velnor-cli filter" "<div>abc</div>" "$(printf '<div>a  b\r\n  c</div>' | "$cli" filter)"

pages=(velnor-cli)
[[ $gui == ON ]] && pages+=(velnor)
for page in "${pages[@]}"; do
    file=$prefix/share/man/man1/$page.1.gz
    rendered=$(MANWIDTH=80 man --warnings -E UTF-8 -P cat -l "$file" 2>"$prefix/man.err" || true)
    expect "man $page: warnings" "" "$(cat "$prefix/man.err")"
    expect "man $page: name line" 1 "$(sed -n '/^NAME/{n;p}' <<<"$rendered" | grep -cE "^ +$page +- ")"
    expect "man $page: version in the footer" 1 "$(grep -c "^Velnor $version " <<<"$rendered")"
done

# Completion as bash asks for it: the words so far and the one being typed.
mkdir -p "$prefix/work/site" && touch "$prefix/work/site.htm"
complete_line() (
    cd "$prefix/work"
    source "$prefix/share/bash-completion/completions/velnor-cli"
    read -ra COMP_WORDS <<<"$1"
    [[ $1 == *' ' ]] && COMP_WORDS+=('')
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    _velnor_cli
    echo "${COMPREPLY[*]}"
)
expect "complete a command" "run restore" "$(complete_line 'velnor-cli r')"
expect "complete an option" "--dry-run" "$(complete_line 'velnor-cli run --d')"
expect "complete run's folder" "site" "$(complete_line 'velnor-cli run s')"
expect "complete restore's folder" "site" "$(complete_line 'velnor-cli restore --yes s')"
expect "complete filter's file" "site site.htm" "$(complete_line 'velnor-cli filter s')"
expect "complete nothing after --ext" "" "$(complete_line 'velnor-cli run --ext ')"

if [[ $gui == ON ]]; then
    expect "velnor --version with no display" "velnor $version" \
        "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/velnor" --version)"
    entry=$prefix/share/applications/velnor.desktop
    expect "desktop entry" "" "$(desktop-file-validate "$entry" 2>&1)"
    # Offered by file managers to open a folder, which it is given.
    expect "desktop entry opens folders" "Exec=velnor %f MimeType=inode/directory;" \
        "$(grep -E '^(Exec|MimeType)=' "$entry" | tr '\n' ' ' | sed 's/ $//')"
    for size in 16x16 24x24 32x32 48x48 64x64 72x72; do
        expect "icon $size" 1 "$(find "$prefix/share/icons/hicolor/$size/apps" -name velnor.png | wc -l)"
    done
    expect "scalable icon" 1 "$(find "$prefix/share/icons/hicolor/scalable/apps" -name velnor.svg | wc -l)"
fi

[[ $failed -eq 0 ]]
