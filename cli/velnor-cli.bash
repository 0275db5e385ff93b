# bash completion for velnor-cli: its commands, each command's options, files
# for filter and folders for run and restore.

_velnor_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=${COMP_WORDS[COMP_CWORD - 1]}
    COMPREPLY=()
    if ((COMP_CWORD == 1)); then
        mapfile -t COMPREPLY < <(compgen -W 'filter run restore help --help --version' -- "$cur")
        return
    fi
    local options operands
    case ${COMP_WORDS[1]} in
    filter)
        options='--keep-spaces --keep-breaks --stats --help'
        operands=-f
        ;;
    run)
        # The extension list is free text.
        [[ $prev == --ext ]] && return
        options='--ext --keep-spaces --keep-breaks --no-backup --yes --dry-run --help'
        operands=-d
        ;;
    restore)
        options='--yes --help'
        operands=-d
        ;;
    *)
        return
        ;;
    esac
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    else
        # Names with blanks or quotes are escaped as names.
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen "$operands" -- "$cur")
    fi
}

complete -F _velnor_cli velnor-cli
