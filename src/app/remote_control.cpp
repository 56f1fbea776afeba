// SPDX-License-Identifier: GPL-3.0-or-later
// The phone remote's target on the program's state.
#include "app/remote_control.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <cstring>

#include "app/language.h"
#include "app/settings_status.h"
#include "core/composed_text.h"
#include "device/field_edit.h"
#include "remote/field_changes.h"
#include "settings/block_fields.h"
#include "settings/field_assignment.h"
#include "settings/json_value.h"
#include "settings/preset_slots.h"
#include "settings/settings_origin.h"
#include "settings/step_names.h"

namespace kdsp::app {
namespace {

// A recall menu place the menu shows.
bool OfferedSlot(int slot) {
  return slot >= 0 && slot < settings::kRecallMenuPlaces &&
         settings::kPresetSlots[static_cast<std::size_t>(slot)].visible != 0;
}

QString Trimmed(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).trimmed();
}

// The fields the phone's page shows, whose ranges it is told.
constexpr std::string_view kPhoneFields[] = {
    "masterMusic", "masterMic", "masterEffect", "echoA.level", "revLevel", "musicInput",
};

// A value from the phone as the settings library reads JSON.
std::optional<settings::JsonValue> ToJsonValue(const QJsonValue& value) {
  const QByteArray text = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
  // Without the array's brackets.
  return settings::ParseJsonValue(std::string_view(text.constData() + 1, text.size() - 2));
}

QJsonObject RangeObject(const settings::FieldRange& range, double max) {
  if (range.kind == settings::FieldRange::Kind::kChoice) {
    QJsonArray choices;
    for (const std::string& choice : range.choices) choices.append(QString::fromStdString(choice));
    return {{"choices", choices}};
  }
  return {{"min", range.min}, {"max", max}, {"step", range.step}};
}

// The step's name in the Undo item: what the phone edited.
std::string StepName(const QJsonObject& values) {
  const QStringList fields = values.keys();
  const std::string first = fields.isEmpty() ? std::string() : fields.front().toStdString();
  if (fields.size() > 1)
    return core::FillIn(settings::step::kPhoneFields, {first, std::to_string(fields.size() - 1)});
  return core::FillIn(settings::step::kPhoneField, {first});
}

}  // namespace

RemoteControl::RemoteControl(settings::ParameterBlock& working, device::DeviceLink& link,
                             EditRecorder& edits, PresetCommands& commands,
                             std::function<void()> refreshAll, QObject* parent)
    : RemoteTarget(parent),
      working_(working),
      link_(link),
      edits_(edits),
      commands_(commands),
      refreshAll_(std::move(refreshAll)),
      told_(working),
      toldStatus_(statusKey()) {}

QJsonObject RemoteControl::fields() const {
  return remote::FieldsObject(settings::DescribeBlock(working_));
}

RemoteControl::StatusKey RemoteControl::statusKey() const {
  const device::LinkState& state = link_.state();
  return {state.connected,
          SourceLine(settings::OriginText(edits_.session().origin(), &TranslateText),
                     edits_.onProcessor()),
          edits_.session().modified(), state.musicMaxVolume, state.micMaxVolume};
}

remote::RemoteStatus RemoteControl::status() const {
  const device::LinkState& state = link_.state();
  QJsonObject ranges;
  for (std::string_view field : kPhoneFields) {
    const auto range = settings::RangeOfField(field);
    if (!range) continue;
    // The masters go no higher than the maximum volumes set on the PC.
    double max = range->max;
    if (field == "masterMusic") max = std::min<double>(max, state.musicMaxVolume);
    if (field == "masterMic") max = std::min<double>(max, state.micMaxVolume);
    ranges.insert(QString::fromUtf8(field.data(), static_cast<qsizetype>(field.size())),
                  RangeObject(*range, max));
  }
  const StatusKey key = statusKey();
  return {key.connected, QString::fromStdString(key.origin), key.modified, ranges};
}

QList<remote::PresetEntry> RemoteControl::presets() const {
  QList<remote::PresetEntry> entries;
  for (int slot = 0; slot < settings::kRecallMenuPlaces; ++slot)
    if (OfferedSlot(slot))
      entries.append(
          {slot, Trimmed(settings::kPresetSlots[static_cast<std::size_t>(slot)].caption)});
  return entries;
}

remote::ApplyResult RemoteControl::applyFields(const QJsonObject& values) {
  using Kind = remote::ApplyResult::Kind;
  if (!link_.state().connected)
    return {Kind::kNotConnected,
            {},
            QCoreApplication::translate("RemoteControl", "the processor is not connected")};
  if (recalling_)
    return {Kind::kBusy, {}, QCoreApplication::translate("RemoteControl", "a recall is under way")};
  std::vector<device::FieldChange> changes;
  for (auto it = values.begin(); it != values.end(); ++it) {
    const auto value = ToJsonValue(it.value());
    if (!value)
      return {Kind::kRefused,
              {},
              QString("%1: %2").arg(
                  it.key(), QCoreApplication::translate("RemoteControl", "no value it takes"))};
    changes.push_back({it.key().toStdString(), *value});
  }
  // All or nothing, each change as the program's control for the field would make it.
  const device::FieldEditResult edit =
      device::ApplyFieldEdits(working_, changes, device::LimitsOf(link_.state()));
  if (!edit.ok()) {
    QStringList errors;
    for (const std::string& error : edit.errors) errors << QString::fromStdString(error);
    return {Kind::kRefused, {}, errors.join("; ")};
  }
  const std::vector<settings::FieldValue> before = settings::DescribeBlock(working_);
  // An edit like a panel's: one step of the history, sent by the synchronisation tick and shown
  // on every window.
  edits_.beginCommand();
  const settings::EditState from = edits_.current();
  working_ = edit.after.block;
  const settings::ControlValues& controls = edit.after.values;
  if (controls.micEqMode != edit.before.values.micEqMode) link_.setMicEqMode(controls.micEqMode);
  if (controls.echoDelayLr != edit.before.values.echoDelayLr ||
      controls.echoPreDelayLr != edit.before.values.echoPreDelayLr ||
      controls.echoDirect != edit.before.values.echoDirect)
    link_.setEchoControls(controls.echoDelayLr, controls.echoPreDelayLr, controls.echoDirect);
  if (refreshAll_) refreshAll_();
  link_.sendDifference(from, edits_.current());
  edits_.endCommand(StepName(values), std::nullopt);
  return {Kind::kApplied, remote::FieldChanges(before, settings::DescribeBlock(working_)), {}};
}

void RemoteControl::recall(int slot, std::function<void(remote::RecallResult)> done) {
  using remote::RecallResult;
  if (!OfferedSlot(slot)) return done(RecallResult::kBadSlot);
  if (!link_.state().connected) return done(RecallResult::kNotConnected);
  if (recalling_) return done(RecallResult::kBusy);
  recalling_ = true;
  // The recall waits for the processor with the event loop running: it runs once the request
  // that asked for it has been handled, not inside it.
  QTimer::singleShot(0, this, [this, slot, done = std::move(done)] {
    const RecallOutcome outcome = commands_.recall(static_cast<std::uint8_t>(slot));
    recalling_ = false;
    switch (outcome) {
      case RecallOutcome::kRecalled:
        return done(RecallResult::kRecalled);
      case RecallOutcome::kNotConnected:
        return done(RecallResult::kNotConnected);
      case RecallOutcome::kNotAnswered:
      case RecallOutcome::kNotInstalled:
        return done(RecallResult::kNotAnswered);
    }
  });
}

void RemoteControl::followChanges() {
  if (std::memcmp(told_.bytes().data(), working_.bytes().data(), told_.bytes().size()) != 0) {
    const QJsonObject changes =
        remote::FieldChanges(settings::DescribeBlock(told_), settings::DescribeBlock(working_));
    told_ = working_;
    if (!changes.isEmpty()) emit fieldsChanged(changes);
  }
  if (StatusKey now = statusKey(); !(now == toldStatus_)) {
    toldStatus_ = std::move(now);
    emit statusChanged();
  }
}

}  // namespace kdsp::app
