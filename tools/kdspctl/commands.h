// SPDX-License-Identifier: GPL-3.0-or-later
// The kdspctl commands. Each takes the arguments after its name and returns the exit status.
#pragma once

#include "cli_support.h"

namespace kdsp::tools {

int RunNew(const Args& args);
int RunDump(const Args& args);
int RunDiff(const Args& args);
int RunCurve(const Args& args);
int RunEq(const Args& args);
int RunEncode(const Args& args);
int RunDecode(const Args& args);

}  // namespace kdsp::tools
