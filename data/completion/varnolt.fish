# fish completion for varnolt: command words, the modes after --run, option titles from
# `varnolt --list` for the files already on the line, then files.

function __varnolt_at
    test (count (commandline -opc)) -eq $argv[1]
end

function __varnolt_after
    set -l tokens (commandline -opc)
    contains -- "$tokens[2]" $argv
end

function __varnolt_wants_files
    set -l tokens (commandline -opc)
    switch "$tokens[2]"
        case --run --perform
            test (count $tokens) -ge 4
        case --render-wheel
            test (count $tokens) -ge 3
        case --list --wheel
            true
        case '*'
            false
    end
end

function __varnolt_titles
    set -l before (commandline -opc)
    set -l all (commandline -o)
    set -l start (math (count $before) + 1)
    test -n (commandline -ct); and set start (math $start + 1)
    set -l files $all[$start..-1]
    set -l mode $before[3]
    set -l page (string upper -- (string sub -l 1 -- $mode))(string sub -s 2 -- $mode)
    varnolt --list $files 2>/dev/null | string replace -rf -- "^\S+ $page: " '' | string split -n -- ', '
end

complete -c varnolt -f
complete -c varnolt -n '__varnolt_at 1' -a '--run' -d 'Run one option on files'
complete -c varnolt -n '__varnolt_at 1' -a '--list' -d 'List the options for files'
complete -c varnolt -n '__varnolt_at 1' -a '--undo' -d 'Undo the last batch'
complete -c varnolt -n '__varnolt_at 1' -a '--render-wheel' -d 'Draw the wheel as PNG'
complete -c varnolt -n '__varnolt_at 1' -a '--wheel' -d 'Open the wheel for files'
complete -c varnolt -n '__varnolt_at 1' -a '--perform' -d 'Run one option in the tray application'
complete -c varnolt -n '__varnolt_at 1' -a '--welcome' -d 'Show the welcome window'
complete -c varnolt -n '__varnolt_at 2; and __varnolt_after --run --perform --render-wheel' -k -a 'convert tools actions'
complete -c varnolt -n '__varnolt_at 3; and __varnolt_after --run --perform' -a '(__varnolt_titles)'
complete -c varnolt -n __varnolt_wants_files -F
