// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing the token hashes of the program's INI file.
#include "remote/token_store.h"

#include <string>

#include "settings/ini_file.h"

namespace kdsp::remote {
namespace {

constexpr char kSection[] = "Remote";

std::string KeyOf(int index) {
  return "Token" + std::to_string(index + 1);
}

}  // namespace

QList<QByteArray> ReadTokenHashes(const std::filesystem::path& ini) {
  const settings::IniDocument document = settings::IniDocument::Read(ini);
  QList<QByteArray> hashes;
  // Keys are read until the first one missing: a later one belongs to no write of ours.
  for (int i = 0;; ++i) {
    const auto value = document.Find(kSection, KeyOf(i));
    if (!value) break;
    if (!value->empty()) hashes.append(QByteArray::fromStdString(*value));
  }
  return hashes;
}

settings::WriteResult WriteTokenHashes(const std::filesystem::path& ini,
                                       const QList<QByteArray>& hashes, int maxKeys) {
  settings::IniDocument document = settings::IniDocument::Read(ini);
  const int keys = std::max(maxKeys, static_cast<int>(hashes.size()));
  for (int i = 0; i < keys; ++i)
    document.Set(kSection, KeyOf(i), i < hashes.size() ? hashes[i].toStdString() : std::string());
  return document.Write(ini);
}

}  // namespace kdsp::remote
