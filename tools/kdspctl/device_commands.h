// kdspctl's device commands. Each takes the processor to connect to and its own arguments.
#pragma once

#include "cli_support.h"
#include "device_session.h"

namespace kdsp::tools {

int RunList(const ConnectTarget& target, const Args& args);
// Prints the processors the platform lists and whether each may be opened; 0 when at least one
// may, else 1 (with the reason on stderr).
int ListProcessors(device::HidPlatform& platform);
int RunInfo(const ConnectTarget& target, const Args& args);
int RunPull(const ConnectTarget& target, const Args& args);
int RunPush(const ConnectTarget& target, const Args& args);
int RunPullAll(const ConnectTarget& target, const Args& args);
int RunPushGroup(const ConnectTarget& target, const Args& args);
int RunLock(const ConnectTarget& target, const Args& args);
int RunUnlock(const ConnectTarget& target, const Args& args);
int RunPassword(const ConnectTarget& target, const Args& args);

}  // namespace kdsp::tools
