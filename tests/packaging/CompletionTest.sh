#!/usr/bin/env bash
# Presses Tab as bash does: the words in COMP_WORDS, the function that `complete -p sw30415` names,
# the answers read from COMPREPLY. A stand-in sw30415 lists two ports.
# Usage: tests/packaging/CompletionTest.sh COMPLETION-FILE
set -uo pipefail
source "$1"
Dir=$(mktemp -d)
trap 'rm -rf "$Dir"' EXIT
printf '#!/bin/sh\n[ "$1" = ports ] && printf "ttyUSB0\\nttyACM0\\n"\n' >"$Dir/sw30415"
chmod +x "$Dir/sw30415"
touch "$Dir/fw.sim" "$Dir/fw.bin"
Function=$(complete -p sw30415 | sed -n 's/.* -F \([^ ]*\) .*/\1/p')
Failed=0
# The line up to the cursor, then what Tab offers, sorted; @ stands for the stand-in's folder.
while IFS='|' read -r Line Expected; do
    read -ra COMP_WORDS <<<"${Line//@/$Dir}"
    [[ $Line == *" " ]] && COMP_WORDS+=("")
    COMP_WORDS[0]=$Dir/sw30415
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE=${COMP_WORDS[*]}
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    "$Function" sw30415 "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}" 2>/dev/null
    Got=$(printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | xargs)
    if [[ $Got != "${Expected//@/$Dir}" ]]; then
        echo "FAIL '$Line': offered '$Got', expected '$Expected'"
        Failed=1
    fi
done <<'ROWS'
sw30415 up|update
sw30415 |--help check mac ports protection read settings update verify write-all
sw30415 --|--help --version
sw30415 read --f|--force
sw30415 read --port ttyUSB0 --|--all-in-boot-mode --force --help --out --port --record --size
sw30415 write-all --|--help --mac --port --protection
sw30415 ports --|--help --port --probe
sw30415 update --image @/fw.s|@/fw.sim
sw30415 read --out @/fw.|@/fw.bin @/fw.sim
sw30415 verify --record @/fw.b|@/fw.bin
sw30415 update --port |ttyACM0 ttyUSB0
sw30415 check --port ttyU|ttyUSB0
sw30415 update --port @/fw.s|@/fw.sim
sw30415 mac --write |
ROWS
[[ $Failed == 0 ]] && echo "completion: all rows pass"
exit $Failed
