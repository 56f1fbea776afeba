// SPDX-License-Identifier: GPL-3.0-or-later
// Waits that keep the event loop running, so replies, timer ticks, repaints and user input are
// handled while the program waits for the processor. They sleep between events: a wait costs
// no processor time and ends as soon as what it waits for has arrived.
#pragma once

#include <chrono>
#include <functional>

namespace kdsp::device {

// Sleeps ms milliseconds while handling events; returns the milliseconds that passed.
long long WaitMs(int ms);

// Handles events until done() holds or the time limit passes; true when done() held. done() is
// looked at whenever the events that arrived have been handled, so it must depend on what
// events bring (replies, sockets, timers), not on another thread or process.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

// The same for a condition no event announces (a child process's pipe, another thread's
// flag): also looked at every `every`, sleeping in between.
bool WaitUntilLooking(const std::function<bool()>& done, std::chrono::milliseconds limit,
                      std::chrono::milliseconds every);

}  // namespace kdsp::device
