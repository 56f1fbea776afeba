#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a scratch prefix and checks the manual pages there: each is gzipped
# without a timestamp, renders without a warning, carries the project's version, and documents
# every command and option its program's --help names (taken from the installed programs, so an
# option added without its documentation fails here).
# usage: manual_pages_test.sh BUILD_DIR SOURCE_DIR CMAKE VERSION
set -euo pipefail

build=$1 source=$2 cmake=$3 version=$4
source "$source/tests/packaging/help_words.sh"
source "$(dirname "$0")/test_support.sh"

install_build "$cmake" "$build"
pages=(kdsp kdspctl kdsp-sim)

# The page's roff source, and whether a word stands in it in bold: anywhere, or at the start of
# a line, where scdoc puts a definition's term ("*--page* _PAGE_", "*-h*, *--help*").
roff_of() { gzip -dc "$root/share/man/man1/$1.1.gz"; }
bold_anywhere() { grep -qF -- "\\fB$2\\fR" <<<"$1"; }
bold_term() { grep -qE -- "^(\\\\fB-[a-z]\\\\fR, )?\\\\fB$2\\\\fR" <<<"$1"; }

dates=()
for page in "${pages[@]}"; do
  file=$root/share/man/man1/$page.1.gz
  if [ ! -s "$file" ]; then
    fail "cmake --install did not install share/man/man1/$page.1.gz"
    continue
  fi
  gzip -t "$file" || { fail "$page.1.gz is not gzip"; continue; }
  # gzip -n: no file name (flag bit 3) and no modification time (bytes 4..7).
  read -r -a header <<<"$(od -An -tu1 -N8 "$file")"
  [ $((header[3] & 8)) -eq 0 ] || fail "$page.1.gz holds a file name"
  [ "${header[4]}${header[5]}${header[6]}${header[7]}" = 0000 ] ||
    fail "$page.1.gz holds a timestamp"

  for locale in C C.UTF-8; do
    warnings=$(LC_ALL=$locale MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man warns about $page(1) under LC_ALL=$locale: $warnings"
  done

  # .TH "kdspctl" "1" "DATE" "kdsp VERSION" "Karaoke DSP Control"
  title=$(roff_of "$page" | grep -m1 '^\.TH ' || true)
  mapfile -t fields < <(grep -oE '"[^"]*"' <<<"$title" | tr -d '"')
  [ "${fields[0]:-}" = "$page" ] && [ "${fields[1]:-}" = 1 ] ||
    fail "$page(1)'s title line is '$title'"
  [ "${fields[3]:-}" = "kdsp $version" ] || fail "$page(1)'s title does not carry kdsp $version"
  dates+=("${fields[2]:-}")
  [[ ${fields[2]:-} =~ ^[0-9]{4}-[0-9]{2}-[0-9]{2}$ ]] || fail "$page(1) is dated '${fields[2]:-}'"

  # The version in the title is the one the program prints.
  printed=$("$root/bin/$page" --version)
  [ "$printed" = "$page $version" ] ||
    fail "$page --version prints '$printed', not '$page $version'"
done
[ "$(printf '%s\n' "${dates[@]}" | sort -u | wc -l)" -eq 1 ] ||
  fail "the pages carry different dates: ${dates[*]}"

# Every option of the program's help: a term of the page (kdsp, kdsp-sim) or in bold in it
# (kdspctl, whose commands carry their options).
check_options() {
  local page=$1 rule=$2 help=$3 roff option count=0
  roff=$(roff_of "$page")
  while read -r option; do
    count=$((count + 1))
    "$rule" "$roff" "$option" || fail "$page(1) does not document $option"
  done < <(help_options <<<"$help")
  [ "$count" -ge 3 ] || fail "$page --help names only $count options"
  echo "$page(1): $count options of --help documented"
}
# The help of kdsp is in the desktop's language: English here.
check_options kdsp bold_term "$(LC_ALL=C LANGUAGE= "$root/bin/kdsp" --help)"
check_options kdsp-sim bold_term "$("$root/bin/kdsp-sim" --help)"
check_options kdspctl bold_anywhere "$("$root/bin/kdspctl" --help)"

# Every command of kdspctl's help is a term of its page's COMMANDS section.
commands_section=$(roff_of kdspctl | sed -n '/^\.SH COMMANDS/,/^\.SH /p')
count=0
while read -r command; do
  count=$((count + 1))
  bold_term "$commands_section" "$command" || fail "kdspctl(1) does not document '$command'"
done < <("$root/bin/kdspctl" --help | help_commands)
[ "$count" -ge 10 ] || fail "kdspctl --help names only $count commands"
echo "kdspctl(1): $count commands of --help documented"

finish "manual pages: ${#pages[@]} pages installed, rendered and complete"
