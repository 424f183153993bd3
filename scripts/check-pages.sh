#!/usr/bin/env bash
# Every option and command that sw30415's and sw30415-sim's --help list must appear in their manual
# pages, and sw30415's long options and commands in its bash completion as well. CTest runs it, so a
# new option without its lines fails the suite.
# Usage: scripts/check-pages.sh SW30415 SW30415-PAGE SW30415-SIM SIM-PAGE COMPLETION
set -euo pipefail
cli=$1 cli_page=$2 sim=$3 sim_page=$4 completion=$5
missing=0
options() { grep -E '^ +-' | grep -oE '(^|[ ,])--?[a-z][a-z0-9-]*' | tr -d ' ,' | sort -u; }
commands() { sed -n '/^Subcommands:/,/^$/p' | awk 'NR > 1 && NF { print $1 }'; }
# The word as the file spells it (a page writes \- for a hyphen), as a whole word.
need() {
    local word=$1 file=$2
    [[ $file == *.1* ]] && word=${word//-/\\-}
    grep -qFw -- "$word" "$file" || { echo "$file lacks $1, which --help lists"; missing=1; }
}
for command in "" $("$cli" --help | commands); do
    [[ -n $command ]] && need "$command" "$cli_page" && need "$command" "$completion"
    for option in $("$cli" $command --help | options); do
        need "$option" "$cli_page"
        [[ $option == --* ]] && need "$option" "$completion"
    done
done
for option in $("$sim" --help | options); do
    need "$option" "$sim_page"
done
exit $missing
