// SPDX-License-Identifier: GPL-3.0-or-later
// Which effect pages are shown: one byte per page, 1 while the page is shown. The main window
// owns them, each page window keeps its own byte set, and the spectrum analyser reads them to
// repaint only the pages on screen.
#pragma once

#include <cstdint>

namespace kdsp::core {

struct PageOpenFlags {
  std::uint8_t open[8] = {};
};

}  // namespace kdsp::core
