// SPDX-License-Identifier: GPL-3.0-or-later
// SIGINT and SIGTERM as a request to stop that wakes the event loop: a command that runs until
// interrupted ends its work cleanly and exits 0 instead of being killed mid-record.
#pragma once

#include <QObject>
#include <memory>

class QSocketNotifier;

namespace kdsp::tools {

// One at a time; the signals' earlier handlers come back when it goes.
class StopSignals : public QObject {
 public:
  StopSignals();
  ~StopSignals() override;
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  bool requested() const;

 private:
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace kdsp::tools
