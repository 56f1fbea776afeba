#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a scratch prefix and packs it as a .deb, then checks that both hold the
# programs, the desktop entry, the icon, the AppStream metadata and the udev rule, and that these
# agree with each other and with the program's own advice on device permissions.
# usage: install_and_package_test.sh BUILD_DIR SOURCE_DIR CMAKE CPACK
set -euo pipefail

build=$1 source=$2 cmake=$3 cpack=$4
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

metainfo=share/metainfo/io.github.kdsp.KaraokeDspControl.metainfo.xml
desktop=share/applications/kdsp.desktop
icon_sizes=(32 48 64 128 256)
icons=()
for n in "${icon_sizes[@]}"; do icons+=("share/icons/hicolor/${n}x${n}/apps/kdsp.png"); done
scalable_icon=share/icons/hicolor/scalable/apps/kdsp.svg
rule=lib/udev/rules.d/70-kdsp.rules
programs=(bin/kdsp bin/kdspctl bin/kdsp-sim)
translation=share/kdsp/translations/kdsp_zh_CN.qm
expected=("${programs[@]}" "$desktop" "${icons[@]}" "$scalable_icon" "$metainfo" "$rule"
          "$translation")

# --- The installed tree ---
root=$scratch/root
"$cmake" --install "$build" --prefix "$root" >"$scratch/install.log"
for f in "${expected[@]}"; do
  [ -s "$root/$f" ] || fail "cmake --install did not install $f"
done
for f in "${programs[@]}"; do
  [ -x "$root/$f" ] || fail "$f is not executable"
done

# Each icon is a PNG of its folder's size: the signature, then the IHDR chunk's width and height.
for n in "${icon_sizes[@]}"; do
  icon=share/icons/hicolor/${n}x${n}/apps/kdsp.png
  [ -s "$root/$icon" ] || continue
  signature=$(od -An -tx1 -N8 "$root/$icon" | tr -d ' \n')
  [ "$signature" = 89504e470d0a1a0a ] || fail "$icon is not a PNG (starts $signature)"
  size=$(od -An -tu1 -j16 -N8 "$root/$icon" |
    awk '{ printf "%dx%d", $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
  [ "$size" = "${n}x${n}" ] || fail "$icon is $size, not ${n}x${n}"
done
# The scalable icon is well-formed SVG drawn on a square.
if [ -s "$root/$scalable_icon" ]; then
  xmllint --noout "$root/$scalable_icon" || fail "$scalable_icon is not well-formed XML"
  [ "$(xmllint --xpath 'name(/*)' "$root/$scalable_icon")" = svg ] ||
    fail "$scalable_icon is not an SVG document"
  view_box=$(xmllint --xpath 'string(/*/@viewBox)' "$root/$scalable_icon")
  [ "$view_box" = "0 0 256 256" ] || fail "$scalable_icon has the viewBox '$view_box'"
fi

# The desktop entry starts the installed program with the installed icon; the metadata launches
# that entry.
if [ -s "$root/$desktop" ]; then
  desktop-file-validate "$root/$desktop" || fail "desktop-file-validate rejects $desktop"
  grep -qx 'Name=Karaoke DSP Control' "$root/$desktop" || fail "$desktop: wrong Name"
  grep -qx 'Exec=kdsp' "$root/$desktop" || fail "$desktop: Exec is not kdsp"
  grep -qx 'Icon=kdsp' "$root/$desktop" || fail "$desktop: Icon is not kdsp"
  grep -qx 'Categories=AudioVideo;Audio;' "$root/$desktop" || fail "$desktop: wrong Categories"
fi
if [ -s "$root/$metainfo" ]; then
  appstreamcli validate --no-net "$root/$metainfo" >"$scratch/appstream.log" ||
    { cat "$scratch/appstream.log" >&2; fail "appstreamcli rejects $metainfo"; }
  grep -q '<launchable type="desktop-id">kdsp.desktop</launchable>' "$root/$metainfo" ||
    fail "$metainfo does not launch kdsp.desktop"
fi

# The rule is the one the program prints when the processor may not be opened: the message's
# string literals, joined and unescaped, hold the rule's line and name its file.
if [ -s "$root/$rule" ]; then
  rule_line=$(grep -v '^#' "$root/$rule" | grep -v '^$')
  [ "$(printf '%s\n' "$rule_line" | wc -l)" -eq 1 ] || fail "$rule holds more than one rule"
  advice=$(sed -n '/kPermissionProblem =/,/;$/p' "$source/src/device/link_messages.h" |
    perl -0pe 's/"\s*\n\s*"//g; s/\\"/"/g')
  grep -qF -- "$rule_line" <<<"$advice" || fail "the program's permission advice differs from $rule"
  grep -qF -- "/$(basename "$rule")" <<<"$advice" || fail "the program's advice names another file"
fi

# --- The Debian package ---
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/package" >"$scratch/cpack.log" ||
  { cat "$scratch/cpack.log" >&2; fail "cpack -G DEB failed"; }
debs=("$scratch"/package/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -s "${debs[0]}" ]; then
  fail "cpack made ${#debs[@]} packages"
else
  deb=${debs[0]}
  echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"
  [ "$(dpkg-deb -f "$deb" Package)" = kdsp ] || fail "the package is not named kdsp"
  [ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "the package has no maintainer"
  [ -n "$(dpkg-deb -f "$deb" Description)" ] || fail "the package has no description"
  # Computed dependencies name the libraries the programs link.
  depends=$(dpkg-deb -f "$deb" Depends)
  for lib in libqt6widgets6 libhidapi-hidraw0 libudev1 libc6; do
    grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
  done
  [ "$(dpkg-deb -f "$deb" Recommends)" = qt6-translations-l10n ] ||
    fail "the package does not recommend Qt's translations"
  # The package holds exactly the installed files, under /usr.
  (cd "$root" && find . -type f -o -type l | sed 's|^\./|./usr/|' | sort) >"$scratch/installed"
  dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort >"$scratch/packaged"
  diff "$scratch/installed" "$scratch/packaged" >&2 ||
    fail "the package's files differ from the installed ones (< installed, > packaged)"
fi

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "install and package: ${#expected[@]} files in both"
