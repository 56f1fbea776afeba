# SPDX-License-Identifier: GPL-3.0-or-later
# What a program's --help text names, one word a line, for the tests that hold the manual pages
# and the shell completion to it. Sourced by them.

# The options: every --long option and every -x short one the text names.
help_options() {
  grep -oE -- '(^|[^[:alnum:]-])--?[[:alpha:]][[:alnum:]-]*' |
    sed -E 's/^[^-]+//' |
    grep -E -- '^--[[:alpha:]][[:alnum:]-]+$|^-[[:alpha:]]$' |
    sort -u
}

# kdspctl's commands: the lines indented by two spaces that start with a command, its arguments
# in capitals, options or brackets after it, or the column of its description. "eq export" is
# one command of two words; "lock|unlock" two commands.
help_commands() {
  grep -oE '^  [a-z][a-z-]*(\|[a-z][a-z-]*)*( [a-z]+)?( +[A-Z[-]| {2,}|$)' |
    sed -E 's/^  //; s/ +[A-Z[-]$//; s/ +$//' |
    tr '|' '\n' |
    sort -u
}
