// SPDX-License-Identifier: GPL-3.0-or-later
// kdspctl's commands on the processor's working settings while it plays: get, set and watch.
#pragma once

#include "cli_support.h"
#include "device_session.h"
#include "device_work.h"

namespace kdsp::tools {

// Prints fields of the working settings as dump names and formats them.
DeviceWork PrepareGet(const Args& args);
// Gives fields of the working settings new values with the records that carry them.
DeviceWork PrepareSet(const Args& args);
// Prints every record the processor sends and every change of the working settings, until
// SIGINT or SIGTERM.
int RunWatch(const ConnectTarget& target, const Args& args);

}  // namespace kdsp::tools
