// SPDX-License-Identifier: GPL-3.0-or-later
// kdspctl get and set: the working settings read field by field, and edited with the command
// table's records, one per changed command, each acknowledged; never a whole upload.
#include "live_commands.h"

#include <cstdio>

#include "command_options.h"
#include "device/command_codes.h"
#include "device/field_edit.h"
#include "settings/block_fields.h"
#include "settings/field_assignment.h"
#include "settings/field_table.h"

namespace kdsp::tools {
namespace {

using device::kWorkingSettingsSlot;

std::string Joined(const std::vector<std::string>& messages) {
  std::string out;
  for (const std::string& m : messages) out += (out.empty() ? "" : "\nkdspctl: ") + m;
  return out;
}

std::string RecordName(const device::OutgoingCommand& record) {
  const std::string_view name = device::CommandName(record.code);
  return name.empty() ? "command " + std::to_string(record.code) : std::string(name);
}

// Sends the records one by one, each awaiting its acknowledgement.
void SendAcknowledged(DeviceSession& session, const std::vector<device::OutgoingCommand>& records,
                      const TargetContext& context) {
  std::size_t acknowledged = 0;
  for (const device::OutgoingCommand& record : records) {
    const std::string progress = " (" + std::to_string(acknowledged) + " of " +
                                 std::to_string(records.size()) + " records were acknowledged)";
    const std::string unsent = "the " + RecordName(record) + " record was not sent" + progress;
    ThrowIfStopped(context, unsent);
    if (!session.link().sendNow(record)) {
      // Told to stop just now, the gate held the record back.
      ThrowIfStopped(context, unsent);
      throw CommandFailure(session.lostLinkText() + " before the " + RecordName(record) +
                           " record was sent" + progress);
    }
    // A record that went out may have been applied whether or not its acknowledgement comes.
    const std::string mayHaveChanged =
        progress + "; the working settings may have been changed (read them back to check)";
    switch (session.link().awaitAcknowledgements()) {
      case device::WaitOutcome::kAcknowledged:
        ++acknowledged;
        break;
      case device::WaitOutcome::kTimedOut:
        throw CommandFailure("the processor did not acknowledge the " + RecordName(record) +
                             " record" + mayHaveChanged);
      default:
        throw CommandFailure(session.lostLinkText() + " before the processor acknowledged the " +
                             RecordName(record) + " record" + mayHaveChanged);
    }
  }
}

}  // namespace

DeviceWork PrepareGet(const Args& args) {
  const char* usage = "usage: kdspctl [--connect URL] get FIELD... [--json] [--password P]";
  const Options options = ParseOptions(args, {"--password"}, {"--json"}, 0, usage, true);
  if (options.positional.empty()) throw UsageError(usage);
  std::vector<const settings::FieldEntry*> fields;
  for (const std::string& name : options.positional) {
    const settings::FieldEntry* field = settings::FindField(name);
    if (field == nullptr)
      throw UsageError("unknown field '" + name + "' (kdspctl dump lists the fields)");
    fields.push_back(field);
  }
  return [fields, json = options.has("--json"),
          password = PasswordOption(options)](const TargetContext& context) {
    DeviceSession session(context);
    session.open();
    session.requireUnlocked(password);
    const settings::ParameterBlock block = ReadSlot(session, kWorkingSettingsSlot);
    std::vector<settings::FieldValue> values;
    for (const settings::FieldEntry* field : fields)
      values.push_back(settings::DescribeField(*field, block));
    if (json) {
      context.out.data(settings::FieldsToJson(values));
    } else {
      std::string text;
      for (const settings::FieldValue& v : values) text += v.name + " = " + v.text + '\n';
      context.out.data(text);
    }
  };
}

DeviceWork PrepareSet(const Args& args) {
  const char* usage = "usage: kdspctl [--connect URL] set FIELD=VALUE... [--password P]";
  const Options options = ParseOptions(args, {"--password"}, {}, 0, usage, true);
  if (options.positional.empty()) throw UsageError(usage);
  std::vector<device::FieldChange> changes;
  for (const std::string& text : options.positional) {
    const auto assignment = settings::ParseAssignment(text);
    if (!assignment) throw UsageError("'" + text + "' is no FIELD=VALUE\n" + usage);
    changes.push_back({assignment->field, assignment->value});
  }
  // Unknown fields and values outside a field's range are told before anything is asked of
  // the processor.
  std::vector<std::string> refused;
  settings::ParameterBlock probe = settings::FactoryDefaults();
  for (const device::FieldChange& change : changes) {
    const settings::AssignResult r =
        settings::AssignText(probe, change.field, std::get<std::string>(change.value));
    if (!r.ok()) refused.push_back(r.error);
  }
  if (!refused.empty()) throw UsageError(Joined(refused));

  return [changes, password = PasswordOption(options)](const TargetContext& context) {
    ThrowIfStopped(context, "nothing was sent");
    DeviceSession session(context);
    session.open();
    session.requireUnlocked(password);
    session.status();  // the maximum volumes and the mic EQ mode bound the edit
    const settings::ParameterBlock current = ReadSlot(session, kWorkingSettingsSlot);
    const device::LinkState& link = session.link().state();
    const device::FieldEditResult edit =
        device::ApplyFieldEdits(current, changes, device::LimitsOf(link));
    // The processor's own limits differ from one processor to the next: with several, a value
    // one of them cannot take is that processor's failure.
    if (!edit.ok()) {
      const std::string why = Joined(edit.errors) + "\nkdspctl: nothing was sent";
      if (context.alone()) throw UsageError(why);
      throw CommandFailure(why);
    }
    const auto records = device::RecordsForDifference(edit.before, edit.after, link);
    session.working() = edit.after.block;
    SendAcknowledged(session, records, context);

    const auto before = settings::DescribeBlock(edit.before.block);
    const auto after = settings::DescribeBlock(edit.after.block);
    std::string text;
    for (std::size_t i = 0; i < before.size(); ++i)
      if (before[i].text != after[i].text)
        text += before[i].name + ": " + before[i].text + " -> " + after[i].text + '\n';
    context.out.data(text);
    if (records.empty()) context.out.done("the processor already holds these values");
  };
}

}  // namespace kdsp::tools
