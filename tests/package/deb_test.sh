#!/usr/bin/env bash
# deb_test.sh BUILD VERSION GUI: packs BUILD with CPack into a temporary
# folder and checks the package's files, its control fields and lintian's
# verdict.
set -euo pipefail
build=$1 version=$2 gui=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" || {
    cat "$work/cpack.log"
    exit 1
}
deb=$work/velnor_${version}_amd64.deb

failed=0
expect() { # expect WHAT EXPECTED ACTUAL
    if [[ $2 != "$3" ]]; then
        printf 'FAILED: %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3"
        failed=$((failed + 1))
    fi
}

# Every file and folder with its mode and owner; folders end in "/".
files=(
    "-rwxr-xr-x ./usr/bin/velnor-cli"
    "-rw-r--r-- ./usr/share/bash-completion/completions/velnor-cli"
    "-rw-r--r-- ./usr/share/doc/velnor/changelog.gz"
    "-rw-r--r-- ./usr/share/doc/velnor/copyright"
    "-rw-r--r-- ./usr/share/man/man1/velnor-cli.1.gz"
)
if [[ $gui == ON ]]; then
    files+=(
        "-rwxr-xr-x ./usr/bin/velnor"
        "-rw-r--r-- ./usr/share/applications/velnor.desktop"
        "-rw-r--r-- ./usr/share/icons/hicolor/scalable/apps/velnor.svg"
        "-rw-r--r-- ./usr/share/man/man1/velnor.1.gz"
    )
    for size in 16 24 32 48 64 72; do
        files+=("-rw-r--r-- ./usr/share/icons/hicolor/${size}x${size}/apps/velnor.png")
    done
fi
expected=$(for entry in "${files[@]}"; do
    path=${entry#* }
    folder=$path
    while folder=${folder%/*}/ && [[ $folder != ./ ]]; do
        echo "drwxr-xr-x root/root $folder"
        folder=${folder%/}
    done
    echo "${entry% *} root/root $path"
done | sort -u)
expect "content list" "$expected" "$(dpkg-deb -c "$deb" | awk '{print $1, $2, $6}' | sort)"

field() { dpkg-deb -f "$deb" "$1"; }
expect "Package" velnor "$(field Package)"
expect "Version" "$version" "$(field Version)"
expect "Architecture" amd64 "$(field Architecture)"
expect "Section" web "$(field Section)"
expect "Priority" optional "$(field Priority)"
expect "Maintainer" "The Velnor developers <dev@velnor.example.org>" "$(field Maintainer)"
expect "Homepage" https://velnor.example.org "$(field Homepage)"
expect "Description's synopsis" "remove redundant whitespace from the web pages of a folder" \
    "$(field Description | head -n 1)"
expect "Description's body has lines" 1 "$(field Description | sed 1d | grep -c -m 1 '^ Velnor makes')"
# Worked out from the binaries: the C and C++ runtimes, and Qt for the window.
needed=(libc6 libstdc++6)
[[ $gui == ON ]] && needed+=(libqt6core6 libqt6gui6 libqt6widgets6)
for library in "${needed[@]}"; do
    expect "Depends on $library" 1 "$(field Depends | tr ',' '\n' | grep -c "^ *$library (>= ")"
done
# The window's standard buttons in the desktop's language come from Qt's translations.
[[ $gui == ON ]] && expect "Depends on Qt's translations" 1 \
    "$(field Depends | tr ',' '\n' | grep -c '^ *qt6-translations-l10n$')"
expect "licence" 1 "$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/velnor/copyright |
    grep -c '^License: Expat$')"

if ! lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1; then
    echo "FAILED: lintian"
    cat "$work/lintian.log"
    failed=$((failed + 1))
fi

[[ $failed -eq 0 ]]
