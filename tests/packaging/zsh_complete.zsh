# SPDX-License-Identifier: GPL-3.0-or-later
# Completes command lines in an interactive zsh on a pseudo-terminal, as a user pressing Tab
# would, and prints each line's matches: "LINE|MATCH MATCH ..." (sorted, each once). compadd is
# wrapped to write every match the completion functions add to a file.
# usage: zsh -f zsh_complete.zsh FPATH_DIR WORK_DIR LINE...
zmodload zsh/zpty || exit 2
local fpath_dir=$1 work=$2
shift 2
local capture=$(mktemp)
trap 'rm -f $capture' EXIT

local wrapper='compadd() {
  if [[ ${@[1,(i)(-|--)]} == *-(O|A|D)\ * ]]; then builtin compadd "$@"; return; fi
  local -a hits
  builtin compadd -A hits "$@"
  (( $#hits )) && print -rl -- $hits >>'${(q)capture}'
  builtin compadd "$@"
}'
zpty shell zsh -f -i
zpty -w shell "PS1=''; fpath=(${(q)fpath_dir} \$fpath); autoload -U compinit; compinit -u -D"
zpty -w shell "$wrapper"
zpty -w shell "cd ${(q)work}; print -r -- '<''READY>'"
zpty -r shell out '*<READY>*' || exit 2

local line
for line in "$@"; do
  : >$capture
  # Tab completes. Keys typed ahead would cut the completion short, so the next ones wait until
  # the matches have stopped coming (or, for none, 2 s); then Ctrl+U empties the line, and the
  # marker's output says the shell is back at its prompt.
  zpty -w -n shell "$line"$'\t'
  local size=-1 tries=0
  while (( tries++ < 40 )); do
    sleep 0.05
    local now=$(wc -c <$capture)
    (( now > 0 && now == size )) && break
    size=$now
  done
  zpty -w -n shell $'\x15'"print -r -- '<''DONE>'"$'\n'
  zpty -r shell out '*<DONE>*' || exit 2
  print -r -- "$line|${(j: :)${(@ou)${(@f)"$(<$capture)"}}}"
done
zpty -d shell
