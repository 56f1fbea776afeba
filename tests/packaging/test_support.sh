# SPDX-License-Identifier: GPL-3.0-or-later
# What the packaging tests share, sourced by them: a scratch folder removed on exit, failed checks
# counted, the build installed into the scratch folder, and the ending that reports the count.

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

# Reports one failed check and goes on, so a run lists every fault at once.
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Installs the build (BUILD_DIR, with the CMAKE given) under $scratch/root and sets root to it.
install_build() {
  root=$scratch/root
  "$1" --install "$2" --prefix "$root" >"$scratch/install.log"
}

# Ends the test now: status 1 when a check failed, else 0 after printing what passed (the
# arguments, if any).
finish() {
  [ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
  [ $# -eq 0 ] || echo "$*"
  exit 0
}
