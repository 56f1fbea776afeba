// SPDX-License-Identifier: GPL-3.0-or-later
// What the phone remote's server asks of the program it serves: the working settings as named
// fields, what the page shows beside them, edits of fields and the recall of a preset slot, and
// word of every change, whoever made it. The program implements it on its own state; the
// server's tests implement it on a plain object.
#pragma once

#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>

namespace kdsp::remote {

// What the page shows beside the fields.
struct RemoteStatus {
  bool connected = false;  // the processor is reached
  QString source;          // where the working settings came from, as the main window says
  bool modified = false;   // changed since they came
  // FIELD: {"min","max","step"} or {"choices"} for the fields the page edits.
  QJsonObject ranges;

  friend bool operator==(const RemoteStatus&, const RemoteStatus&) = default;
};

// A preset the PC's recall menu offers.
struct PresetEntry {
  int slot = 0;
  QString name;
};

// The answer to an edit of fields.
struct ApplyResult {
  enum class Kind { kApplied, kRefused, kNotConnected, kBusy };
  Kind kind = Kind::kRefused;
  QJsonObject changed;  // kApplied: FIELD: VALUE of what changed, after the processor's limits
  QString error;        // otherwise: why, naming the field when one is at fault
};

enum class RecallResult { kRecalled, kBadSlot, kNotConnected, kBusy, kNotAnswered };

class RemoteTarget : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  // The working settings: every field of the block by name, as `kdspctl dump --json` gives them.
  virtual QJsonObject fields() const = 0;
  virtual RemoteStatus status() const = 0;
  virtual QList<PresetEntry> presets() const = 0;
  // Edits fields of the working settings as one step: either all of them or, with an error,
  // none.
  virtual ApplyResult applyFields(const QJsonObject& values) = 0;
  // Recalls a slot; done is called once the slot's settings have arrived, or it is clear they
  // will not, possibly after this call has returned.
  virtual void recall(int slot, std::function<void(RecallResult)> done) = 0;

 signals:
  // Fields whose values changed, FIELD: new VALUE.
  void fieldsChanged(const QJsonObject& fields);
  // Something of status() may have changed.
  void statusChanged();
};

}  // namespace kdsp::remote
