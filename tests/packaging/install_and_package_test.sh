#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a scratch prefix and packs it as a .deb, then checks that both hold the
# programs, the desktop entry, the icon, the AppStream metadata, the udev rule, the copyright and
# the changelog; that these agree with each other, with the program's own advice on device
# permissions and with the project's version; that every program prints that version; and that
# lintian finds nothing wrong with the package.
# usage: install_and_package_test.sh BUILD_DIR SOURCE_DIR CMAKE CPACK VERSION
set -euo pipefail

build=$1 source=$2 cmake=$3 cpack=$4 version=$5
source "$(dirname "$0")/test_support.sh"

metainfo=share/metainfo/io.github.kdsp.kdsp.metainfo.xml
copyright=share/doc/kdsp/copyright
changelog=share/doc/kdsp/changelog.gz
desktop=share/applications/kdsp.desktop
icon_sizes=(32 48 64 128 256)
icons=()
for n in "${icon_sizes[@]}"; do icons+=("share/icons/hicolor/${n}x${n}/apps/kdsp.png"); done
scalable_icon=share/icons/hicolor/scalable/apps/kdsp.svg
rule=lib/udev/rules.d/70-kdsp.rules
programs=(bin/kdsp bin/kdspctl bin/kdsp-sim)
translation=share/kdsp/translations/kdsp_zh_CN.qm
manual_pages=(share/man/man1/kdsp.1.gz share/man/man1/kdspctl.1.gz share/man/man1/kdsp-sim.1.gz)
completions=(share/bash-completion/completions/kdspctl share/zsh/vendor-completions/_kdspctl)
expected=("${programs[@]}" "$desktop" "${icons[@]}" "$scalable_icon" "$metainfo" "$rule"
          "$translation" "$copyright" "$changelog" "${manual_pages[@]}" "${completions[@]}")

# A PNG's WIDTHxHEIGHT, from its IHDR chunk.
png_size() {
  od -An -tu1 -j16 -N8 "$1" |
    awk '{ printf "%dx%d", $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }'
}

# Every program of a tree prints "NAME VERSION" for --version, without a display.
check_versions() {
  local where=$1 tree=$2 program answer
  for program in "${programs[@]}"; do
    [ -x "$tree/$program" ] || continue
    answer=$(env -u DISPLAY -u WAYLAND_DISPLAY "$tree/$program" --version 2>&1) ||
      fail "$where: $program --version failed: $answer"
    [ "$answer" = "$(basename "$program") $version" ] ||
      fail "$where: $program --version says '$answer', not '$(basename "$program") $version'"
  done
}

# --- The installed tree ---
install_build "$cmake" "$build"
for f in "${expected[@]}"; do
  [ -s "$root/$f" ] || fail "cmake --install did not install $f"
done
for f in "${programs[@]}"; do
  [ -x "$root/$f" ] || fail "$f is not executable"
done
check_versions "installed" "$root"

# Each icon is a PNG of its folder's size: the signature, then the IHDR chunk's width and height.
for n in "${icon_sizes[@]}"; do
  icon=share/icons/hicolor/${n}x${n}/apps/kdsp.png
  [ -s "$root/$icon" ] || continue
  signature=$(od -An -tx1 -N8 "$root/$icon" | tr -d ' \n')
  [ "$signature" = 89504e470d0a1a0a ] || fail "$icon is not a PNG (starts $signature)"
  size=$(png_size "$root/$icon")
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
  appstreamcli validate --pedantic --no-net "$root/$metainfo" >"$scratch/appstream.log" ||
    { cat "$scratch/appstream.log" >&2; fail "appstreamcli rejects $metainfo"; }
  newest=$(xmllint --xpath 'string(//releases/release[1]/@version)' "$root/$metainfo")
  [ "$newest" = "$version" ] || fail "$metainfo: the newest release is '$newest', not $version"
  grep -q '<project_license>GPL-3.0-or-later</project_license>' "$root/$metainfo" ||
    fail "$metainfo does not say GPL-3.0-or-later"
  # Each screenshot is one of docs/screenshots, with that picture's size.
  count=$(xmllint --xpath 'count(//screenshot/image)' "$root/$metainfo")
  [ "$count" -ge 1 ] || fail "$metainfo lists no screenshot"
  for ((i = 1; i <= count; i++)); do
    image="//screenshot[$i]/image"
    url=$(xmllint --xpath "string($image)" "$root/$metainfo")
    picture=$source/docs/screenshots/$(basename "$url")
    [[ $url == https://*/v$version/docs/screenshots/* ]] ||
      fail "$metainfo: screenshot $url is not one of docs/screenshots at v$version"
    [ -s "$picture" ] || { fail "$metainfo: $url is not in docs/screenshots"; continue; }
    stated=$(xmllint --xpath "concat(string($image/@width), 'x', string($image/@height))" \
      "$root/$metainfo")
    actual=$(png_size "$picture")
    [ "$stated" = "$actual" ] || fail "$metainfo: $(basename "$url") is $actual, not $stated"
  done
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

# The copyright file is machine-readable and says what LICENSE says; the changelog's newest entry
# is this version.
if [ -s "$root/$copyright" ]; then
  head -n1 "$root/$copyright" |
    grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "$copyright is not in the machine-readable format"
  grep -qx 'License: GPL-3.0+' "$root/$copyright" || fail "$copyright does not name GPL-3.0+"
  grep -q 'GNU GENERAL PUBLIC LICENSE' "$source/LICENSE" &&
    grep -q 'Version 3, 29 June 2007' "$source/LICENSE" || fail "LICENSE is not the GPL 3"
fi
if [ -s "$root/$changelog" ]; then
  first=$(gzip -dc "$root/$changelog" | head -n1)
  [ "$first" = "kdsp ($version) unstable; urgency=medium" ] ||
    fail "$changelog opens with '$first'"
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
  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] ||
    fail "the package's version is $(dpkg-deb -f "$deb" Version), not $version"
  [ "$(dpkg-deb -f "$deb" Section)" = sound ] || fail "the package is not in the section sound"
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
  # The packaged programs, stripped, still print the version.
  dpkg-deb -x "$deb" "$scratch/unpacked"
  check_versions "packaged" "$scratch/unpacked/usr"
  # Nothing lintian calls an error or a warning.
  if lintian --fail-on error,warning --info "$deb" >"$scratch/lintian.log" 2>&1; then
    echo "lintian: no error or warning"
  else
    cat "$scratch/lintian.log" >&2
    fail "lintian finds errors or warnings in the package"
  fi
fi

finish "install and package: ${#expected[@]} files in both"
