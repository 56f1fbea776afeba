// SPDX-License-Identifier: GPL-3.0-or-later
// The files of the phone remote's page and the content types they are served with.
#include "remote/web/web_files.h"

#include <array>

namespace kdsp::web {

namespace {

// The resource paths follow the resource collection in this folder's CMakeLists.txt.
constexpr std::array kFiles{
    WebFile{"/", ":/remote/index.html", "text/html; charset=utf-8"},
    WebFile{"/remote.js", ":/remote/remote.js", "application/javascript"},
    WebFile{"/remote.css", ":/remote/remote.css", "text/css"},
    WebFile{"/icon.svg", ":/remote/icon.svg", "image/svg+xml"},
};

}  // namespace

std::span<const WebFile> WebFiles() {
  return kFiles;
}

const WebFile* FindWebFile(std::string_view urlPath) {
  for (const WebFile& file : kFiles) {
    if (file.urlPath == urlPath) return &file;
  }
  return nullptr;
}

}  // namespace kdsp::web
