// SPDX-License-Identifier: GPL-3.0-or-later
// How long the link waits for the processor before it gives up and says so.
#pragma once

#include <chrono>

namespace kdsp::device {

using namespace std::chrono_literals;

// The synchronisation tick: one parameter record per tick.
inline constexpr std::chrono::milliseconds kSyncIntervalUsb = 10ms;
inline constexpr std::chrono::milliseconds kSyncIntervalWifi = 200ms;
// A record is acknowledged within a few milliseconds over USB; the WiFi module adds its own
// latency. Past this the processor is taken as not answering.
inline constexpr std::chrono::milliseconds kAcknowledgementLimit = 3s;
// A whole block read-back is 31 records.
inline constexpr std::chrono::milliseconds kReadBackLimit = 10s;
// The WiFi switch waits this long for the connection and again after the greeting.
inline constexpr int kWifiSettleMs = 500;
// Without the settle waits, how long a connect may take before it counts as failed.
inline constexpr std::chrono::milliseconds kWifiConnectLimit = 3s;

}  // namespace kdsp::device
