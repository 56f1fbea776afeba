// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of setting files: the bytes written, what loading accepts and refuses, and safe writes.
#include "settings/setting_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace kdsp::settings {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

std::string AsString(std::span<const std::uint8_t> bytes) {
  return std::string(bytes.begin(), bytes.end());
}

// A block unlike the factory one, whose checksum bytes do not match its contents.
ParameterBlock EditedBlock() {
  ParameterBlock block = FactoryDefaults();
  block.masterMusic = 7;
  block.bands[40].gain = -120;
  block.outputDelay[3] = 123456;
  block.revPreDelay = 0x1234;
  block.checksum = static_cast<std::uint16_t>(BlockChecksum(block) + 1);
  return block;
}

// What the block held before a load that must not touch it.
ParameterBlock SentinelBlock() {
  ParameterBlock block;
  std::ranges::fill(block.bytes(), 0xA5);
  return block;
}

TEST(WriteSettingFile, FactoryFileHasTheHeaderThenTheDefaults) {
  TempDir dir;
  const fs::path path = dir / "factory.aex";
  ASSERT_TRUE(WriteSettingFile(path, FactoryDefaults()).ok);
  const std::string bytes = ReadBytes(path);
  ASSERT_EQ(bytes.size(), 724u);
  const std::vector<std::uint8_t> head(bytes.begin(), bytes.begin() + 24);
  EXPECT_EQ(head, (std::vector<std::uint8_t>{0x51, 0x4D, 0x37, 0x5F, 0x56, 0x31, 0x2E, 0x30,
                                             0x20, 0x02, 0x00, 0x00, 0x57, 0x33, 0x22, 0x11,
                                             0xF1, 0x02, 0x02, 0x00, 0x1E, 0x1E, 0x04, 0x32}));
  EXPECT_EQ(bytes.substr(16), AsString(FactoryDefaults().bytes()));
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"factory.aex"});
}

TEST(SettingFile, RoundTripKeepsEveryByteAndLeavesTheChecksumAlone) {
  TempDir dir;
  const fs::path path = dir / "preset one.aex";
  const ParameterBlock written = EditedBlock();
  ASSERT_TRUE(WriteSettingFile(path, written).ok);
  EXPECT_EQ(ReadBytes(path).substr(16), AsString(written.bytes()));

  ParameterBlock read = SentinelBlock();
  const SettingFileLoad load = LoadSettingFile(path, read);
  EXPECT_EQ(load.status, SettingFileStatus::kLoaded);
  EXPECT_TRUE(load.message.empty());
  EXPECT_EQ(read, written);
  EXPECT_EQ(read.checksum, written.checksum);
  EXPECT_NE(read.checksum, BlockChecksum(read));
}

TEST(SettingFile, WritingReplacesAnOlderFileWholly) {
  TempDir dir;
  const fs::path path = dir / "a.aex";
  WriteBytes(path, std::string(5000, 'x'));
  ASSERT_TRUE(WriteSettingFile(path, EditedBlock()).ok);
  EXPECT_EQ(ReadBytes(path), AsString(EncodeSettingFile(EditedBlock())));
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.aex"});
}

enum class Expect { kNoMessage, kVersionError, kTooShort };

struct LoadCase {
  const char* name;
  std::function<void(std::string&)> change;  // applied to a good file image
  SettingFileStatus status;
  Expect message;
};

TEST(LoadSettingFile, AcceptsAndRefusesFilesInTheDocumentedOrder) {
  const std::string good = AsString(EncodeSettingFile(EditedBlock()));
  const auto resize = [](std::size_t n) { return [n](std::string& f) { f.resize(n, 'z'); }; };
  const auto set = [](std::size_t at, std::string bytes) {
    return [at, bytes](std::string& f) { f.replace(at, bytes.size(), bytes); };
  };
  using enum SettingFileStatus;
  const LoadCase cases[] = {
      {"unchanged", [](std::string&) {}, kLoaded, Expect::kNoMessage},
      {"any name", set(0, std::string("\0\xFFwhat ev", 9)), kLoaded, Expect::kNoMessage},
      {"padding set", set(10, "\xFF\xFF"), kLoaded, Expect::kNoMessage},
      {"trailing bytes", [](std::string& f) { f += std::string(4096, '\x7F'); }, kLoaded,
       Expect::kNoMessage},
      {"one extra byte", resize(725), kLoaded, Expect::kNoMessage},
      {"type 1", set(9, "\x01"), kWrongType, Expect::kNoMessage},
      {"type 0", set(9, std::string(1, '\0')), kWrongType, Expect::kNoMessage},
      {"type 3", set(9, "\x03"), kWrongType, Expect::kNoMessage},
      {"type 255", set(9, "\xFF"), kWrongType, Expect::kNoMessage},
      {"magic off by one", set(12, "\x58"), kVersionError, Expect::kVersionError},
      {"magic big-endian", set(12, "\x11\x22\x33\x57"), kVersionError, Expect::kVersionError},
      {"magic zero", set(12, std::string(4, '\0')), kVersionError, Expect::kVersionError},
      {"empty", resize(0), kTooShort, Expect::kTooShort},
      {"1 byte", resize(1), kTooShort, Expect::kTooShort},
      {"15 bytes", resize(15), kTooShort, Expect::kTooShort},
      {"header only", resize(16), kTooShort, Expect::kTooShort},
      {"723 bytes", resize(723), kTooShort, Expect::kTooShort},
      {"short, wrong magic",
       [](std::string& f) {
         f.resize(100);
         f[13] = 0;
       },
       kVersionError, Expect::kVersionError},
      {"short, type 1",
       [](std::string& f) {
         f.resize(100);
         f[9] = 1;
       },
       kWrongType, Expect::kNoMessage},
  };
  TempDir dir;
  for (const LoadCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string image = good;
    c.change(image);
    const fs::path path = dir / (std::string(c.name) + ".aex");
    WriteBytes(path, image);

    ParameterBlock block = SentinelBlock();
    const SettingFileLoad load = LoadSettingFile(path, block);
    EXPECT_EQ(load.status, c.status);
    EXPECT_EQ(load.loaded(), c.status == kLoaded);
    switch (c.message) {
      case Expect::kNoMessage:
        EXPECT_EQ(load.message, "");
        break;
      case Expect::kVersionError:
        EXPECT_EQ(load.message, "File Version error!");
        break;
      case Expect::kTooShort:
        EXPECT_EQ(load.message, "Setting file is too short: " + path.string() + " (" +
                                    std::to_string(image.size()) + " bytes, 724 expected)");
        break;
    }
    if (c.status == kLoaded) {
      EXPECT_EQ(AsString(block.bytes()), image.substr(16, 708));
    } else {
      EXPECT_EQ(block, SentinelBlock());
    }
  }
}

TEST(LoadSettingFile, WhatCannotBeReadIsNamedAndChangesNothing) {
  TempDir dir;
  const fs::path folder = dir / "a folder.aex";
  fs::create_directory(folder);
  const fs::path pipe = dir / "pipe.aex";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const fs::path paths[] = {dir / "nö such file 歌.aex", folder, pipe, ""};
  for (const fs::path& path : paths) {
    SCOPED_TRACE(path);
    ParameterBlock block = SentinelBlock();
    const SettingFileLoad load = LoadSettingFile(path, block);
    EXPECT_EQ(load.status, SettingFileStatus::kCantRead);
    EXPECT_EQ(load.message, "Can't read " + path.string());
    EXPECT_EQ(block, SentinelBlock());
  }
}

// A refused write names the path and the system's reason, and leaves no temporary behind.
void ExpectRefused(const WriteResult& result, const fs::path& path, int error) {
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.message, "Can't write " + path.string() + ": " + std::strerror(error));
}

TEST(WriteSettingFile, MissingFolderIsReported) {
  TempDir dir;
  const fs::path path = dir / "no folder" / "a.aex";
  ExpectRefused(WriteSettingFile(path, EditedBlock()), path, ENOENT);
  EXPECT_TRUE(dir.Entries().empty());
}

TEST(WriteSettingFile, FolderInTheWayIsLeftAlone) {
  TempDir dir;
  const fs::path path = dir / "a.aex";
  fs::create_directory(path);
  WriteBytes(path / "inside", "keep");
  ExpectRefused(WriteSettingFile(path, EditedBlock()), path, EISDIR);
  EXPECT_EQ(ReadBytes(path / "inside"), "keep");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.aex"});
}

// Lowers the file size limit of this process so that a write fails part-way, as on a full disk.
using testing::FileSizeLimit;

TEST(WriteSettingFile, FailureHalfWayKeepsTheOldFile) {
  TempDir dir;
  const fs::path path = dir / "good.aex";
  ASSERT_TRUE(WriteSettingFile(path, FactoryDefaults()).ok);
  const std::string before = ReadBytes(path);
  WriteResult result;
  {
    FileSizeLimit limit(100);
    result = WriteSettingFile(path, EditedBlock());
  }
  ExpectRefused(result, path, EFBIG);
  EXPECT_EQ(ReadBytes(path), before);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"good.aex"});
}

TEST(WriteSettingFile, ReadOnlyFolderOrFileKeepsTheOldFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the super-user";
  TempDir dir;
  const fs::path path = dir / "good.aex";
  ASSERT_TRUE(WriteSettingFile(path, FactoryDefaults()).ok);
  const std::string before = ReadBytes(path);

  fs::permissions(dir.path(), fs::perms::owner_write, fs::perm_options::remove);
  ExpectRefused(WriteSettingFile(path, EditedBlock()), path, EACCES);
  fs::permissions(dir.path(), fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(ReadBytes(path), before);

  fs::permissions(path, fs::perms::owner_read);
  ExpectRefused(WriteSettingFile(path, EditedBlock()), path, EACCES);
  EXPECT_EQ(ReadBytes(path), before);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"good.aex"});
}

TEST(WriteSettingFile, ReplacedFileKeepsItsPermissionsAndLinks) {
  TempDir dir;
  const fs::path real = dir / "real.aex";
  const fs::path link = dir / "link.aex";
  ASSERT_TRUE(WriteSettingFile(real, FactoryDefaults()).ok);
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink("real.aex", link);

  ASSERT_TRUE(WriteSettingFile(link, EditedBlock()).ok);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadBytes(real), AsString(EncodeSettingFile(EditedBlock())));
  EXPECT_EQ(fs::status(real).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"link.aex", "real.aex"}));
}

TEST(WriteSettingFile, VeryLongFileNameStillWrites) {
  TempDir dir;
  const fs::path path = dir / (std::string(250, 'n') + ".aex");  // 254 bytes, at the name limit
  const WriteResult result = WriteSettingFile(path, FactoryDefaults());
  ASSERT_TRUE(result.ok) << result.message;
  EXPECT_EQ(ReadBytes(path).size(), 724u);
}

TEST(NumberedSettingFilePath, IsRelativeToTheCurrentFolder) {
  for (int d = 1; d <= 8; ++d) {
    EXPECT_EQ(NumberedSettingFilePath(d), fs::path("settings/" + std::to_string(d) + ".aex"));
  }
  EXPECT_TRUE(NumberedSettingFilePath(1).is_relative());
}

}  // namespace
}  // namespace kdsp::settings
