#!/usr/bin/env bash
# Completes tessellane-cli command lines with its bash completion and compares
# the candidates offered. Arguments: the completion file, the folder of the
# built programs and the demo game (the sprite keys come from its tree).
source /usr/share/bash-completion/bash_completion
source "$1"
cd "$2" && PATH=$PWD:$PATH

passed=0 failed=0
# expect CANDIDATES WORD... : the last word is the one being completed.
expect() {
    local want=$1
    shift
    COMP_WORDS=(tessellane-cli "$@")
    COMP_CWORD=$#
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _tessellane_cli tessellane-cli
    if [[ "${COMPREPLY[*]}" == "$want" ]]; then
        ((++passed))
    else
        ((++failed))
        echo "tessellane-cli $*: offered '${COMPREPLY[*]}', expected '$want'"
    fi
}

expect "identify tree games export import size lint checksum nemesis --db-folder --help --version" ""
expect "--db-folder --help --version" --
expect "identify import" --db-folder . i
expect "demo.bin" identify dem
expect "--fix" checksum demo.bin ""
expect "--sheet" export -
expect "--dry-run" import -
expect 'QBRKCHILD_Slime QBRKCHILD_Slime\ \(night\)' export demo.bin QBRKCHILD_Sl
expect 'QBRKHEADCOMPCHILD_Treasure\ Chest' import --dry-run demo.bin QBRKHEADCOMPCHILD_T
expect 'QBRKCHILD_Slime\ \(night\)' --db-folder . export demo.bin 'QBRKCHILD_Slime\ \('
expect "" export demo.bin QBRKCHILD_Nobody
expect "--tsv" size -
expect 'QBRKHEADCOMPCHILD_Banner QBRKHEADCOMPCHILD_Treasure\ Chest' size --tsv demo.bin Q
expect "compress decompress" nemesis ""
expect "" nemesis decompress demo.bin ""

echo "$passed passed, $failed failed"
((failed == 0))
