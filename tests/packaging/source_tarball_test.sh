#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Packs the source tarball as scripts/release does and checks what it holds: in a git checkout
# exactly the files the repository tracks, and in any case no build tree, no release output and
# no file of a test run; every source file in it names its licence.
# usage: source_tarball_test.sh BUILD_DIR SOURCE_DIR CPACK VERSION
set -euo pipefail

build=$1 source=$2 cpack=$3 version=$4
source "$(dirname "$0")/test_support.sh"

# Leave a file of the kinds the tarball must not carry where a careless pattern would take it
# (beside the build trees, which are there already when the build is in the source folder).
litter=()
if [ -w "$source" ]; then
  litter=("$source/dist/litter-$$" "$source/tests/__pycache__/litter-$$.pyc")
  mkdir -p "$source/dist" "$source/tests/__pycache__"
  for f in "${litter[@]}"; do : >"$f"; done
fi
cleanup() {
  [ ${#litter[@]} -eq 0 ] || rm -f "${litter[@]}"
  rmdir "$source/dist" "$source/tests/__pycache__" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

(cd "$build" && "$cpack" --config CPackSourceConfig.cmake -B "$scratch/out" >"$scratch/cpack.log") ||
  { cat "$scratch/cpack.log" >&2; fail "cpack --config CPackSourceConfig.cmake failed"; }
tarball=$scratch/out/kdsp-$version.tar.xz
[ -s "$tarball" ] || { fail "no kdsp-$version.tar.xz"; exit 1; }
echo "source tarball: $(basename "$tarball"), $(stat -c %s "$tarball") bytes"

# Every entry sits under one folder named after the release.
tar -tJf "$tarball" | grep -v '/$' | sort >"$scratch/entries"
grep -v "^kdsp-$version/" "$scratch/entries" >&2 && fail "entries outside kdsp-$version/"
sed "s|^kdsp-$version/||" "$scratch/entries" >"$scratch/packed"

if grep -E '^(build[^/]*|dist|Testing|\.git|\.cache)/|/__pycache__/|\.pyc$' "$scratch/packed" >&2; then
  fail "the tarball holds build trees, release output or leftovers (above)"
fi
for f in LICENSE CHANGELOG.md README.md CMakeLists.txt; do
  grep -qx "$f" "$scratch/packed" || fail "the tarball lacks $f"
done
if git -C "$source" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  # Tracked files that exist in the working tree (a deletion not yet committed is not packed).
  (cd "$source" && git ls-files | while IFS= read -r f; do [ -e "$f" ] && printf '%s\n' "$f"; done |
    sort) >"$scratch/tracked"
  # Files made in the working tree but not yet committed are packed too; they are not litter.
  (cd "$source" && git ls-files --others --exclude-standard | sort) >"$scratch/untracked"
  comm -23 "$scratch/tracked" "$scratch/packed" >"$scratch/missing"
  comm -13 "$scratch/tracked" "$scratch/packed" | comm -23 - "$scratch/untracked" >"$scratch/extra"
  [ -s "$scratch/missing" ] && { cat "$scratch/missing" >&2; fail "tracked files missing (above)"; }
  [ -s "$scratch/extra" ] && { cat "$scratch/extra" >&2; fail "files the repository ignores (above)"; }
fi

# Unpacked, it is a source tree whose files name their licence (no git there to ask).
tar -xJf "$tarball" -C "$scratch"
python3 "$source/scripts/check-licence-headers" "$scratch/kdsp-$version" >/dev/null ||
  fail "source files in the tarball lack the licence line"

finish "source tarball: $(wc -l <"$scratch/packed") files"
