# bash completion for varnolt: command words, the modes after --run, option titles from
# `varnolt --list` for the files already on the line, then files.

_varnolt_dequote()
{
    local w=$1 out= i c
    case $w in
        \'*\') out=${w:1:${#w}-2} ;;
        \"*\") out=${w:1:${#w}-2} ;;
        *)
            for ((i = 0; i < ${#w}; i++)); do
                c=${w:i:1}
                if [[ $c == \\ ]]; then
                    ((i++))
                    c=${w:i:1}
                fi
                out+=$c
            done
            ;;
    esac
    [[ $out == "~"/* ]] && out=$HOME/${out:2}
    printf '%s' "$out"
}

# The option titles of one page for the files typed after the option's place.
_varnolt_titles()
{
    local mode=$1 page line i
    shift
    page=${mode^}
    local -a files=()
    for i in "$@"; do files+=("$(_varnolt_dequote "$i")"); done
    while IFS= read -r line; do
        case $line in
            *" $page: "*)
                line=${line#* "$page": }
                [[ -n $line ]] || return
                local rest=$line
                while [[ -n $rest ]]; do
                    printf '%s\n' "${rest%%, *}"
                    [[ $rest == *", "* ]] || break
                    rest=${rest#*, }
                done
                return
                ;;
        esac
    done < <(varnolt --list "${files[@]}" 2>/dev/null)
}

_varnolt()
{
    local cur=${COMP_WORDS[COMP_CWORD]}
    COMPREPLY=()
    if ((COMP_CWORD == 1)); then
        mapfile -t COMPREPLY < <(compgen -W '--run --list --undo --render-wheel --wheel --perform --welcome' -- "$cur")
        return
    fi
    case ${COMP_WORDS[1]} in
        --run | --perform)
            if ((COMP_CWORD == 2)); then
                mapfile -t COMPREPLY < <(compgen -W 'convert tools actions' -- "$cur")
                return
            fi
            if ((COMP_CWORD == 3)); then
                local title typed
                typed=$(_varnolt_dequote "$cur")
                while IFS= read -r title; do
                    [[ ${title,,} == "${typed,,}"* ]] && COMPREPLY+=("$(printf '%q' "$title")")
                done < <(_varnolt_titles "${COMP_WORDS[2]}" "${COMP_WORDS[@]:4}")
                return
            fi
            ;;
        --render-wheel)
            if ((COMP_CWORD == 2)); then
                mapfile -t COMPREPLY < <(compgen -W 'convert tools actions' -- "$cur")
                return
            fi
            ;;
        --undo | --welcome)
            return
            ;;
    esac
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -f -- "$cur")
}

complete -F _varnolt varnolt
