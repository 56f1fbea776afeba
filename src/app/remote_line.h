// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window's phone remote line shows: whether the remote serves, whether a phone
// follows the settings, the address to open on the phone and the pairing code.
#pragma once

#include <string>

namespace kdsp::app {

struct RemoteLine {
  bool serving = false;         // nothing is shown while the remote is off
  bool phoneConnected = false;  // the lamp: a phone has the events open
  std::string url;              // "http://192.168.1.20:8080/"
  std::string code;             // "004217"

  friend bool operator==(const RemoteLine&, const RemoteLine&) = default;
};

}  // namespace kdsp::app
