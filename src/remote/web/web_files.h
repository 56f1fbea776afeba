// SPDX-License-Identifier: GPL-3.0-or-later
// The files of the phone remote's page: the address a browser asks for, the resource that holds
// the file and the content type it is served with. The server answers every other path with 404.
#pragma once

#include <span>
#include <string_view>

namespace kdsp::web {

struct WebFile {
  std::string_view urlPath;       // what the browser asks for, e.g. "/remote.js"
  std::string_view resourcePath;  // where the file lives in the program, e.g. ":/remote/remote.js"
  std::string_view contentType;   // the Content-Type header it is served with
};

// Every file of the page, "/" (the page itself) first.
std::span<const WebFile> WebFiles();

// The file served at urlPath, or nullptr when the page has no such file.
const WebFile* FindWebFile(std::string_view urlPath);

}  // namespace kdsp::web
