#!/usr/bin/env bash
# Every option and command that sw30415's and sw30415-sim's --help list must appear in their manual
# pages, and sw30415's long options and commands in its bash completion as well. CTest runs it, so a
# new option without its lines fails the suite.
# Usage: scripts/check-pages.sh SW30415 SW30415-PAGE SW30415-SIM SIM-PAGE COMPLETION
set -euo pipefail
Cli=$1 CliPage=$2 Sim=$3 SimPage=$4 Completion=$5
Missing=0
Options() { grep -E '^ +-' | grep -oE '(^|[ ,])--?[a-z][a-z0-9-]*' | tr -d ' ,' | sort -u; }
Commands() { sed -n '/^Subcommands:/,/^$/p' | awk 'NR > 1 && NF { print $1 }'; }
# The word as the file spells it (a page writes \- for a hyphen), as a whole word.
Need() {
    local Word=$1 File=$2
    [[ $File == *.1* ]] && Word=${Word//-/\\-}
    grep -qFw -- "$Word" "$File" || { echo "$File lacks $1, which --help lists"; Missing=1; }
}
for Command in "" $("$Cli" --help | Commands); do
    [[ -n $Command ]] && Need "$Command" "$CliPage" && Need "$Command" "$Completion"
    for Option in $("$Cli" $Command --help | Options); do
        Need "$Option" "$CliPage"
        [[ $Option == --* ]] && Need "$Option" "$Completion"
    done
done
for Option in $("$Sim" --help | Options); do
    Need "$Option" "$SimPage"
done
exit $Missing
