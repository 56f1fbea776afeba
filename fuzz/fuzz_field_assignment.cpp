// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes giving block fields values as `kdspctl set` and the phone remote give them. The input is
// lines: "FIELD=VALUE" as set takes it, a JSON object of fields and values as the phone sends
// it, "@OFFSET=XX" putting the hexadecimal byte XX into the block as a processor or a file may
// hold it, and "?FIELD" naming a field to check. A refused value leaves the block as it was.
// Then every field named, and every field over a byte put in, is described as dump describes
// it and its line fed back to set, and its JSON value to the remote's assignment: what is taken
// stores the same block. A block that only assignments made takes back every one of them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "core/whole_number.h"
#include "settings/block_fields.h"
#include "settings/field_assignment.h"
#include "settings/field_table.h"
#include "settings/json_value.h"

namespace {

using namespace kdsp::settings;

void Check(bool ok, std::string_view what = {}) {
  if (ok) return;
  std::fprintf(stderr, "failed at %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

struct Run {
  ParameterBlock block = FactoryDefaults();
  bool bytesPut = false;  // the block holds bytes no assignment made
  std::set<const FieldEntry*> checked;
};

void Name(Run& run, std::string_view name) {
  if (const FieldEntry* f = FindField(name); f != nullptr) run.checked.insert(f);
}

void Assigned(Run& run, const ParameterBlock& before, const AssignResult& result) {
  if (!result.ok()) Check(run.block == before);
}

// "@OFFSET=XX".
void PutByte(Run& run, std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return;
  const auto offset = kdsp::core::ReadWholeNumber(line.substr(1, equals - 1), 0, kBlockSize - 1);
  const auto byte = kdsp::core::ReadWholeNumber(line.substr(equals + 1), 0, 255, 16);
  if (!offset || !byte) return;
  run.block.bytes()[static_cast<std::size_t>(offset.value)] =
      static_cast<std::uint8_t>(byte.value);
  run.bytesPut = true;
  for (const FieldEntry& f : FieldTable())
    if (f.offset <= static_cast<std::size_t>(offset.value) &&
        static_cast<std::size_t>(offset.value) < f.offset + f.size())
      run.checked.insert(&f);
}

void Apply(Run& run, std::string_view line) {
  if (line.starts_with('@')) return PutByte(run, line);
  if (line.starts_with('?')) return Name(run, line.substr(1));
  if (line.starts_with('{')) {
    const auto object = ParseJsonValue(line);
    if (!object || object->kind != JsonValue::Kind::kObject) return;
    for (const auto& [name, value] : object->members) {
      const ParameterBlock before = run.block;
      Assigned(run, before, AssignJson(run.block, name, value));
      Name(run, name);
    }
    return;
  }
  const auto assignment = ParseAssignment(line);
  if (!assignment) return;
  const ParameterBlock before = run.block;
  Assigned(run, before, AssignText(run.block, assignment->field, assignment->value));
  Name(run, assignment->field);
}

// The field's dump line given back to set, and its JSON value to the remote's assignment.
void CheckRoundTrip(const Run& run, const FieldEntry& f) {
  if (f.access != FieldAccess::kWritable) return;
  const FieldValue shown = DescribeField(f, run.block);
  const auto line = ParseAssignment(f.name + " = " + shown.text);
  Check(line && line->field == f.name);
  ParameterBlock byText = run.block;
  const bool textTaken = AssignText(byText, line->field, line->value).ok();
  Check(textTaken ? byText == run.block : run.bytesPut, f.name + " = " + shown.text);

  const auto json = ParseJsonValue(shown.json);
  Check(json.has_value(), f.name + ": " + shown.json);
  ParameterBlock byJson = run.block;
  const bool jsonTaken = AssignJson(byJson, f.name, *json).ok();
  Check(jsonTaken ? byJson == run.block : run.bytesPut, f.name + ": " + shown.json);
  Check(jsonTaken == textTaken, f.name + ": " + shown.json);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Run run;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    Apply(run, text.substr(start, end - start));
    start = end + 1;
  }
  for (const FieldEntry* f : run.checked) CheckRoundTrip(run, *f);
  return 0;
}
