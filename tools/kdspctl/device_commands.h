// SPDX-License-Identifier: GPL-3.0-or-later
// kdspctl's device commands. Those that one processor at a time can do for many are prepared
// from their arguments first (a usage error is told before any processor is reached) and then
// run on each processor; the others take the processor to connect to and their arguments.
#pragma once

#include "cli_support.h"
#include "device_session.h"
#include "device_work.h"

namespace kdsp::tools {

int RunList(const ConnectTarget& target, const Args& args);
// Prints the processors the platform lists and whether each may be opened; 0 when at least one
// may, else 1 (with the reason on stderr).
int ListProcessors(device::HidPlatform& platform);
DeviceWork PrepareInfo(const Args& args);
DeviceWork PreparePull(const Args& args);
DeviceWork PreparePush(const Args& args);
DeviceWork PreparePullAll(const Args& args);
DeviceWork PreparePushGroup(const Args& args);
int RunLock(const ConnectTarget& target, const Args& args);
int RunUnlock(const ConnectTarget& target, const Args& args);
int RunPassword(const ConnectTarget& target, const Args& args);

}  // namespace kdsp::tools
