// SPDX-License-Identifier: GPL-3.0-or-later
// The phone remote's target on the program's own state: the working block described field by
// field, the connection, where the settings came from, edits from the phone made as ordinary
// edits (written into the working block, sent by the synchronisation tick, undoable, shown on
// every panel), recalls through the Presets menu's command, and word of every change of the
// working block, whoever made it, compared on the synchronisation tick.
#pragma once

#include <QTimer>
#include <functional>

#include "app/edit_recorder.h"
#include "app/preset_commands.h"
#include "device/device_link.h"
#include "remote/remote_target.h"
#include "settings/parameter_block.h"

namespace kdsp::app {

class RemoteControl : public remote::RemoteTarget {
 public:
  RemoteControl(settings::ParameterBlock& working, device::DeviceLink& link, EditRecorder& edits,
                PresetCommands& commands, std::function<void()> refreshAll,
                QObject* parent = nullptr);

  QJsonObject fields() const override;
  remote::RemoteStatus status() const override;
  QList<remote::PresetEntry> presets() const override;
  remote::ApplyResult applyFields(const QJsonObject& values) override;
  void recall(int slot, std::function<void(remote::RecallResult)> done) override;

  // Tells the fields that changed since the last call, and whether the status may have: the
  // synchronisation tick calls it.
  void followChanges();

 private:
  // What decides the status, cheap to compare on every tick.
  struct StatusKey {
    bool connected = false;
    std::string origin;
    bool modified = false;
    int musicMax = 0;
    int micMax = 0;
    friend bool operator==(const StatusKey&, const StatusKey&) = default;
  };
  StatusKey statusKey() const;

  settings::ParameterBlock& working_;
  device::DeviceLink& link_;
  EditRecorder& edits_;
  PresetCommands& commands_;
  std::function<void()> refreshAll_;
  settings::ParameterBlock told_;  // the working block as the phones were last told it
  StatusKey toldStatus_;
  bool recalling_ = false;
};

}  // namespace kdsp::app
