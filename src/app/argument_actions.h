// SPDX-License-Identifier: GPL-3.0-or-later
// Acting on the command line in a program that is up: the phone remote, the WiFi connection, the
// effect page and the screenshot it asks for, at start and when a later start passes its
// arguments on.
#pragma once

#include "app/command_line.h"
#include "app/instance_message.h"

namespace kdsp::app {

class Program;

// At start, once the main window is shown. A screenshot is saved a moment later, when the
// windows have settled, and then ends the program. False, once stderr says why, when the
// program cannot run as asked: the remote cannot listen where it was told to.
bool ActOnStartArguments(Program& program, const CommandLine& line);

// A later start's arguments, in the running program: its main window comes to the front, then
// it starts the remote (unless it serves one already), connects, opens the page and saves the
// screenshot asked for, and goes on running. The answer tells the later start what to print: the
// remote's line, the screenshot saved, and every argument that
// only takes effect when the program starts, so none is ignored without a word.
InstanceReply ActOnLaterStart(Program& program, const InstanceRequest& request);

}  // namespace kdsp::app
