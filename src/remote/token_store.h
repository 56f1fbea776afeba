// SPDX-License-Identifier: GPL-3.0-or-later
// The paired phones' token hashes in the program's INI file, so a phone stays paired across a
// restart of the program.
#pragma once

#include <QByteArray>
#include <QList>
#include <filesystem>

#include "settings/safe_file_write.h"

namespace kdsp::remote {

// The hashes in section [Remote], keys Token1.. in order, oldest first; empty keys are none.
QList<QByteArray> ReadTokenHashes(const std::filesystem::path& ini);
// Writes the hashes into the file, keeping everything else in it; keys of hashes no longer kept
// are emptied, up to maxKeys.
settings::WriteResult WriteTokenHashes(const std::filesystem::path& ini,
                                       const QList<QByteArray>& hashes, int maxKeys);

}  // namespace kdsp::remote
