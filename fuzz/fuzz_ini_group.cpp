// Fuzzes INI documents and group files: arbitrary text reads and writes back byte for byte, a
// value that Set accepts reads back exactly, also after another round through the text, and a
// group file on disk reads as its text does.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "settings/group_file.h"
#include "settings/ini_file.h"

namespace {

using kdsp::settings::IniDocument;

void Check(bool ok) {
  if (!ok) std::abort();
}

// One file per process, removed when the fuzzer exits (registered after the path exists, so
// that it runs before the path is destroyed).
const std::filesystem::path& ScratchFile() {
  static const std::filesystem::path path =
      std::filesystem::temp_directory_path() /
      ("kdsp-fuzz-group-" + std::to_string(getpid()) + ".set");
  static const bool removedAtExit = std::atexit([] {
                                      std::error_code ignored;
                                      std::filesystem::remove(ScratchFile(), ignored);
                                    }) == 0;
  (void)removedAtExit;
  return path;
}

void CheckGroupFile(const std::string& text, const IniDocument& document) {
  {
    std::ofstream out(ScratchFile(), std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
  }
  const auto files = kdsp::settings::ReadGroupFile(ScratchFile());
  for (int slot = 0; slot < kdsp::settings::kGroupSlotCount; ++slot)
    Check(files[slot] ==
          document.Get(kdsp::settings::kGroupSection, kdsp::settings::GroupFileKey(slot)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string section = input.ConsumeRandomLengthString(24);
  const std::string key = input.ConsumeRandomLengthString(24);
  const std::string value = input.ConsumeRandomLengthString(48);
  const bool viaFile = input.ConsumeBool();
  const std::string text = input.ConsumeRemainingBytesAsString();

  IniDocument document = IniDocument::Parse(text);
  Check(document.Serialize() == text);
  if (viaFile) CheckGroupFile(text, document);

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
