#!/usr/bin/env bash
# Presses Tab as bash does: the words in COMP_WORDS, the function that `complete -p sw30415` names,
# the answers read from COMPREPLY. A stand-in sw30415 lists two ports.
# Usage: tests/packaging/CompletionTest.sh COMPLETION-FILE
set -uo pipefail
source "$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf '#!/bin/sh\n[ "$1" = ports ] && printf "ttyUSB0\\nttyACM0\\n"\n' >"$dir/sw30415"
chmod +x "$dir/sw30415"
touch "$dir/fw.sim" "$dir/fw.bin"
completer=$(complete -p sw30415 | sed -n 's/.* -F \([^ ]*\) .*/\1/p')
failed=0
# The line up to the cursor, then what Tab offers, sorted; @ stands for the stand-in's folder.
while IFS='|' read -r line expected; do
    read -ra COMP_WORDS <<<"${line//@/$dir}"
    [[ $line == *" " ]] && COMP_WORDS+=("")
    COMP_WORDS[0]=$dir/sw30415
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE=${COMP_WORDS[*]}
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    "$completer" sw30415 "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}" 2>/dev/null
    got=$(printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | xargs)
    if [[ $got != "${expected//@/$dir}" ]]; then
        echo "FAIL '$line': offered '$got', expected '$expected'"
        failed=1
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
[[ $failed == 0 ]] && echo "completion: all rows pass"
exit $failed
