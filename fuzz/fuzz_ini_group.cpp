// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes INI documents and group files: arbitrary text reads and writes back byte for byte, a
// value that Set accepts reads back exactly, also after another round through the text; a group
// file's text names the paths its document holds, whatever its byte order mark and line endings,
// and setting one slot's path changes that slot alone. All in memory: ReadGroupFile is
// ParseGroupFile of the file's bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/group_file.h"
#include "settings/ini_file.h"

namespace {

using kdsp::settings::GroupFileKey;
using kdsp::settings::GroupFiles;
using kdsp::settings::IniDocument;
using kdsp::settings::kGroupSection;
using kdsp::settings::kGroupSlotCount;
using kdsp::settings::ParseGroupFile;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

void Check(bool ok) {
  if (!ok) std::abort();
}

// The text as a Windows editor saves it: every line feed after a carriage return.
std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8 + 16);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// The paths of a group file's text are those its document holds; a byte order mark and CR LF
// line endings, as editors add them, change none of them.
GroupFiles CheckGroupText(const std::string& text, const IniDocument& document) {
  const GroupFiles files = ParseGroupFile(text);
  for (int slot = 0; slot < kGroupSlotCount; ++slot)
    Check(files[slot] == document.Get(kGroupSection, GroupFileKey(slot)));
  const std::string_view mark = text.starts_with(kByteOrderMark) ? "" : kByteOrderMark;
  Check(ParseGroupFile(std::string(mark) + WithCrLf(text)) == files);
  return files;
}

// Setting one slot's path, as writing a group does, leaves the other eight as they were. Works
// on a copy: the group of the copy is already known, and the checks of Set below get the
// document as the text made it.
void CheckSlotSet(IniDocument document, const GroupFiles& files, int slot,
                  const std::string& path) {
  if (!document.Set(kGroupSection, GroupFileKey(slot), path)) return;
  GroupFiles expected = files;
  expected[slot] = path;
  Check(ParseGroupFile(document.Serialize()) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string section = input.ConsumeRandomLengthString(24);
  const std::string key = input.ConsumeRandomLengthString(24);
  const std::string value = input.ConsumeRandomLengthString(48);
  // From the input's last byte, like the other numbers FuzzedDataProvider takes.
  const int slot = input.ConsumeIntegralInRange<int>(0, kGroupSlotCount - 1);
  const std::string text = input.ConsumeRemainingBytesAsString();

  IniDocument document = IniDocument::Parse(text);
  Check(document.Serialize() == text);
  CheckSlotSet(document, CheckGroupText(text, document), slot, value);

  // What Set takes reads back, also from its text; what it refuses leaves the document as it was.
  const auto before = document.Find(section, key);
  if (document.Set(section, key, value)) {
    Check(document.Find(section, key) == value);
    const std::string written = document.Serialize();
    const IniDocument reread = IniDocument::Parse(written);
    Check(reread.Find(section, key) == value);
    Check(reread.Serialize() == written);
  } else {
    Check(document.Serialize() == text);
    Check(document.Find(section, key) == before);
  }
  return 0;
}
