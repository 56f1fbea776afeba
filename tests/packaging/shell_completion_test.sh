#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a scratch prefix and checks kdspctl's shell completion there: in bash,
# alone and under bash-completion, and in zsh, once compinit has taken the function up, it
# completes the commands kdspctl --help lists, every option it names, pages, slots, band sets,
# connections and file names.
# usage: shell_completion_test.sh BUILD_DIR SOURCE_DIR CMAKE
set -euo pipefail
export LC_ALL=C  # one order of the matches, whatever the locale

build=$1 source=$2 cmake=$3
source "$source/tests/packaging/help_words.sh"
source "$(dirname "$0")/test_support.sh"

install_build "$cmake" "$build"
bash_script=$root/share/bash-completion/completions/kdspctl
zsh_script=$root/share/zsh/vendor-completions/_kdspctl
bash_completion=/usr/share/bash-completion/bash_completion
for f in "$bash_script" "$zsh_script"; do
  [ -s "$f" ] || fail "cmake --install did not install ${f#"$root"/}"
done
[ -s "$bash_script" ] || finish

# The matches for command lines, one "LINE|MATCH MATCH ..." line each, the matches sorted.
# bash: the line is split into words as bash does for completion (at blanks, and at ':' into a
# word of its own), then the function kdspctl's completion is registered with runs on them, alone
# or after bash-completion. zsh: an interactive zsh on a pseudo-terminal completes it at Tab.
complete_lines() {
  local mode=$1 line
  shift
  if [ "$mode" = zsh ]; then
    timeout 60 zsh -f "$source/tests/packaging/zsh_complete.zsh" "$(dirname "$zsh_script")" \
      "$PWD" "$@" | while IFS='|' read -r line matches; do
      printf '%s|%s\n' "$line" "$(tr ' ' '\n' <<<"$matches" | sort -u | paste -sd ' ' -)"
    done
    return
  fi
  for line in "$@"; do
    bash --norc --noprofile -c '
      mode=$1 line=$2 script=$3 helpers=$4
      if [ "$mode" = bash-completion ]; then source "$helpers"; fi
      source "$script"
      read -ra spaced <<<"$line"
      [[ $line == *" " ]] && spaced+=("")
      COMP_WORDS=()
      for w in "${spaced[@]}"; do
        [[ -z $w ]] && { COMP_WORDS+=(""); continue; }
        while [[ $w == *:* ]]; do
          [[ -n ${w%%:*} ]] && COMP_WORDS+=("${w%%:*}")
          COMP_WORDS+=(":")
          w=${w#*:}
        done
        [[ -n $w ]] && COMP_WORDS+=("$w")
      done
      COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
      COMP_LINE=$line COMP_POINT=${#line}
      function=$(complete -p kdspctl | sed -E "s/.*-F ([^ ]+).*/\1/")
      "$function" kdspctl "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
      printf "%s|%s\n" "$line" "$(printf "%s\n" "${COMPREPLY[@]}" | sort -u | paste -sd " " -)"
    ' complete_lines "$mode" "$line" "$bash_script" "$bash_completion"
  done
}

# Files for the file-name cases.
files=$scratch/files
mkdir -p "$files/kit" "$files/gigs"
touch "$files/karaoke.aex" "$files/kids.aex" "$files/keys.txt" "$files/group.set" \
  "$files/grid.aex"

pages="center echo main mic music reverb subwoofer surround"
# LINE|EXPECTED MATCHES (sorted), in every shell.
cases=(
  "kdspctl pu|pull pull-all push push-group"
  "kdspctl eq |export import"
  "kdspctl curve x.aex --page |$pages"
  "kdspctl --connect sim eq export x.aex --page m|main mic music"
  "kdspctl curve x.aex --mic-set |a b"
  "kdspctl push x.aex --slot |0 1 2 3 4 5 6 7 8 working"
  "kdspctl pull --slot |0 1 2 3 4 5 6 7 8 9 working"
  "kdspctl pull --slot w|working"
  "kdspctl --connect |sim tcp:// usb usb:"
  "kdspctl info --connect tc|tcp://"
  "kdspctl push x.aex --|--connect --hosts --jobs --no-verify --password --slot"
  "kdspctl lock --|--connect --password"
  "kdspctl --|--connect --help --hosts --jobs --version"
  "kdspctl dump k|karaoke.aex kids.aex kit"
  "kdspctl diff karaoke.aex g|gigs grid.aex"
  "kdspctl eq import karaoke.aex --page main k|karaoke.aex keys.txt kids.aex kit"
  "kdspctl pull --slot 7 -o k|karaoke.aex kids.aex kit"
  "kdspctl push-group g|gigs group.set"
  "kdspctl pull-all k|kit"
  "kdspctl decode k|karaoke.aex keys.txt kids.aex kit"
  "kdspctl pull-all --hosts k|karaoke.aex keys.txt kids.aex kit"
  "kdspctl encode 0x|"
)
# In bash, where ':' splits a word: the matches for what follows the last one.
bash_cases=("kdspctl info --connect tcp:|//")

modes=(alone)
if [ -f "$bash_completion" ]; then
  modes+=(bash-completion)
else
  echo "bash-completion is not installed: the bash script is checked alone only"
fi
if ! command -v zsh >/dev/null; then
  echo "zsh is not installed: the zsh completion is not checked"
elif [ -s "$zsh_script" ]; then
  zsh -n "$zsh_script" || fail "zsh -n rejects _kdspctl"
  # compinit finds the function in fpath by its #compdef line and binds it to kdspctl.
  bound=$(zsh -f -c 'fpath=("$1" $fpath); autoload -U compinit; compinit -u -D
                     print -r -- "${_comps[kdspctl]-}"' zsh "$(dirname "$zsh_script")")
  [ "$bound" = _kdspctl ] || fail "compinit binds kdspctl to '$bound', not _kdspctl"
  modes+=(zsh)
fi

help=$("$root/bin/kdspctl" --help)
commands=$(help_commands <<<"$help")
top_commands=$(cut -d' ' -f1 <<<"$commands" | sort -u | paste -sd ' ' -)
eq_commands=$(sed -n 's/^eq //p' <<<"$commands" | sort | paste -sd ' ' -)

for mode in "${modes[@]}"; do
  checked=("${cases[@]}")
  [ "$mode" = zsh ] || checked+=("${bash_cases[@]}")
  # The commands offered are those kdspctl --help lists.
  checked+=("kdspctl |$top_commands" "kdspctl eq |$eq_commands")
  lines=()
  for entry in "${checked[@]}"; do lines+=("${entry%%|*}"); done
  mapfile -t results < <(cd "$files" && complete_lines "$mode" "${lines[@]}")
  [ "${#results[@]}" -eq "${#checked[@]}" ] ||
    fail "$mode: ${#results[@]} results for ${#checked[@]} lines"
  for i in "${!checked[@]}"; do
    line=${checked[i]%%|*} expected=${checked[i]#*|} got=${results[i]-}
    [ "$got" = "$line|$expected" ] ||
      fail "$mode: '$line' completes to '${got#*|}', not '$expected'"
  done

  # Every option kdspctl --help names is offered, before a command or after one.
  lines=("kdspctl -")
  while read -r command; do lines+=("kdspctl $command -"); done <<<"$commands"
  offered=" $(complete_lines "$mode" "${lines[@]}" | cut -d'|' -f2 | paste -sd ' ' -) "
  while read -r option; do
    [[ $offered == *" $option "* ]] || fail "$mode: no command completes the option $option"
  done < <(help_options <<<"$help")
  echo "$mode: ${#checked[@]} lines, $(wc -w <<<"$top_commands") commands"
done

finish "shell completion: ${modes[*]}"
