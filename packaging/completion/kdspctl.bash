# SPDX-License-Identifier: GPL-3.0-or-later
# bash completion for kdspctl: its commands, each command's options, the values they take (pages,
# band sets, slots, connections) and the files they read: setting files (.aex), group files
# (.set), folders. Uses bash-completion's helpers when they are loaded, plain compgen otherwise.

# The commands as kdspctl --help lists them; "eq" takes "export" or "import" after it.
_kdspctl_commands="new dump diff curve eq list info pull push pull-all push-group lock unlock
  password get set watch encode decode"
_kdspctl_eq_commands="export import"
_kdspctl_pages="mic music echo reverb main center surround subwoofer"
# The options that take a value, wherever they stand.
_kdspctl_valued="--connect --hosts --jobs --page --mic-set --slot -o --password --every"

# The options of a command ("eq export" for the eq commands).
_kdspctl_options() {
  local venue="--connect --hosts --jobs"
  case $1 in
    dump) echo --json ;;
    curve) echo --page --mic-set ;;
    "eq export" | "eq import") echo --page --mic-set -o ;;
    list) echo --connect ;;
    info) echo $venue ;;
    pull) echo --slot -o --password $venue ;;
    push) echo --slot --no-verify --password $venue ;;
    pull-all | push-group | set) echo --password $venue ;;
    get) echo --json --password $venue ;;
    lock | unlock | password) echo --password --connect ;;
    watch) echo --every --all-records --password --connect ;;
  esac
}

# What the command's Nth argument other than an option is: aex (a setting file), set (a group
# file), dir (a folder), file (any file) or nothing.
_kdspctl_argument_kind() {
  case "$1 $2" in
    "new 1" | "dump 1" | "diff 1" | "diff 2" | "curve 1" | "eq export 1" | "eq import 1" | \
      "push 1") echo aex ;;
    "eq import 2" | "decode 1") echo file ;;
    "pull-all 1") echo dir ;;
    "push-group 1") echo set ;;
  esac
}

# What -o writes for the command.
_kdspctl_output_kind() {
  case $1 in
    pull | "eq import") echo aex ;;
    *) echo file ;;
  esac
}

# Adds the words of $1 that start with the current word.
_kdspctl_add_words() {
  local IFS=$' \t\n'
  COMPREPLY+=($(compgen -W "$1" -- "$cur"))
}

# Adds file names: aex, set, dir or file.
_kdspctl_add_files() {
  compopt -o filenames 2>/dev/null
  if declare -F _filedir >/dev/null; then
    case $1 in
      aex | set) _filedir "$1" ;;
      dir) _filedir -d ;;
      *) _filedir ;;
    esac
    return
  fi
  local IFS=$'\n'
  case $1 in
    aex | set) COMPREPLY+=($(compgen -f -X "!*.$1" -- "$cur") $(compgen -d -- "$cur")) ;;
    dir) COMPREPLY+=($(compgen -d -- "$cur")) ;;
    *) COMPREPLY+=($(compgen -f -- "$cur")) ;;
  esac
}

# Adds the connection URLs; usb: followed by the hidraw nodes there are.
_kdspctl_add_connections() {
  local IFS=$' \t\n' nodes=() node urls="usb sim tcp:// usb:"
  for node in /dev/hidraw*; do
    [[ -e $node ]] && nodes+=("usb:$node")
  done
  [[ $cur == usb:* ]] && urls+=" ${nodes[*]}"
  _kdspctl_add_words "$urls"
  # A URL still to be finished takes no space after it.
  if [[ ${#COMPREPLY[@]} -eq 1 && (${COMPREPLY[0]} == tcp:// || ${COMPREPLY[0]} == usb:) ]]; then
    compopt -o nospace 2>/dev/null
  fi
}

# Bash splits a word at ':' when COMP_WORDBREAKS holds it and puts in only what follows the last
# one: the candidates lose what the current word holds up to there.
_kdspctl_trim_colon() {
  [[ $cur == *:* && $COMP_WORDBREAKS == *:* ]] || return 0
  local prefix=${cur%"${cur##*:}"} i
  for i in "${!COMPREPLY[@]}"; do
    COMPREPLY[i]=${COMPREPLY[i]#"$prefix"}
  done
}

# The words up to the cursor, with the pieces bash split at ':' joined again.
_kdspctl_words() {
  if declare -F _init_completion >/dev/null; then
    _init_completion -n : || return 1
    return 0
  fi
  local line=${COMP_LINE:0:COMP_POINT}
  local IFS=$' \t\n'
  read -ra words <<<"$line"
  [[ $line == *[[:space:]] || ${#words[@]} -eq 0 ]] && words+=("")
  cword=$((${#words[@]} - 1))
  cur=${words[cword]}
  prev=${words[cword - 1]}
  return 0
}

_kdspctl() {
  local cur prev words cword
  COMPREPLY=()
  _kdspctl_words || return 0

  # The command, its arguments so far and the values given to options are read off the words.
  local command="" given=0 i word
  for ((i = 1; i < cword; i++)); do
    word=${words[i]}
    if [[ " $_kdspctl_valued " == *" $word "* ]]; then
      ((i++))
    elif [[ -z $command ]]; then
      [[ $word == -* ]] && return 0  # --help, --version: nothing follows
      command=$word
    elif [[ $command == eq ]]; then
      command="eq $word"
    elif [[ $word != -* ]]; then
      ((given++))
    fi
  done

  case $prev in
    --page) _kdspctl_add_words "$_kdspctl_pages" ;;
    --mic-set) _kdspctl_add_words "a b" ;;
    --slot)
      case $command in
        pull) _kdspctl_add_words "0 1 2 3 4 5 6 7 8 9 working" ;;
        *) _kdspctl_add_words "0 1 2 3 4 5 6 7 8 working" ;;
      esac
      ;;
    --connect) _kdspctl_add_connections ;;
    --hosts) _kdspctl_add_files file ;;
    -o) _kdspctl_add_files "$(_kdspctl_output_kind "$command")" ;;
    --jobs | --password | --every) ;;
    *)
      if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
          _kdspctl_add_words "--connect --hosts --jobs --help --version"
        else
          _kdspctl_add_words "$_kdspctl_commands"
        fi
      elif [[ $command == eq ]]; then
        _kdspctl_add_words "$_kdspctl_eq_commands"
      elif [[ $cur == -* ]]; then
        _kdspctl_add_words "$(_kdspctl_options "$command")"
      else
        local kind
        kind=$(_kdspctl_argument_kind "$command" $((given + 1)))
        [[ -n $kind ]] && _kdspctl_add_files "$kind"
      fi
      ;;
  esac
  _kdspctl_trim_colon
  return 0
}

complete -F _kdspctl kdspctl
