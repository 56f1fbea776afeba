// Waits that keep the event loop running, so replies, timer ticks, repaints and user input are
// handled while the program waits for the processor.
#pragma once

#include <chrono>
#include <functional>

namespace kdsp::device {

// Waits ms milliseconds while processing events; returns the milliseconds that passed.
long long WaitMs(int ms);

// Processes events until done() holds or the time limit passes; true when done() held.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

}  // namespace kdsp::device
