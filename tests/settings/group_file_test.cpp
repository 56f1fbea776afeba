// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of group files, the remembered group and the names Upload All gives its files.
#include "settings/group_file.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/ini_file.h"
#include "support/temp_dir.h"

namespace kdsp::settings {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

GroupFiles AwkwardGroup() {
  return {"/home/user/My Presets/START UP.aex",
          "",
          "/home/jürgen/Gesang 2.aex",
          " leading and trailing space ",
          "/srv/歌/卡拉OK 4.aex",
          "C:\\Presets\\5.aex",
          "\"quoted\"",
          "/a=b;c[d].aex",
          ""};
}

TEST(GroupFile, RoundTripKeepsEveryPath) {
  TempDir dir;
  const fs::path path = dir / "my group ü.set";
  ASSERT_TRUE(WriteGroupFile(path, AwkwardGroup()).ok);
  EXPECT_EQ(ReadGroupFile(path), AwkwardGroup());
}

TEST(GroupFile, NewFileHasTheKnownLayout) {
  TempDir dir;
  const fs::path path = dir / "g.set";
  GroupFiles files;
  files[2] = "/p/2.aex";
  ASSERT_TRUE(WriteGroupFile(path, files).ok);
  EXPECT_EQ(ReadBytes(path),
            "[GroupSet]\nfile0=\nfile1=\nfile2=/p/2.aex\nfile3=\nfile4=\nfile5=\nfile6=\nfile7=\n"
            "file8=\n");
}

TEST(GroupFile, ReadsFilesWrittenElsewhere) {
  TempDir dir;
  const fs::path path = dir / "windows.set";
  WriteBytes(path,
             "; saved on another machine\r\n[groupset]\r\nFILE0=C:\\a b\\START UP.aex\r\n"
             "file7 = D:\\k.aex \r\n[Extra]\r\nfile1=not this one\r\n");
  GroupFiles expected;
  expected[0] = "C:\\a b\\START UP.aex";
  expected[7] = "D:\\k.aex";
  EXPECT_EQ(ReadGroupFile(path), expected);
}

TEST(GroupFile, FirstLineOfEachKeyWinsInAnySectionOfThatName) {
  GroupFiles expected;
  expected[2] = "two";
  expected[3] = "three";
  expected[8] = " eight ";
  EXPECT_EQ(ParseGroupFile("file0=outside\n[GroupSet]\nfile2=two\nFILE2=again\n[Other]\n"
                           "file3=other\n[groupset]\r\nfile3=three\r\nfile2=late\r\n"
                           "file8=\" eight \"\r\n"),
            expected);
}

TEST(GroupFile, EmptyPathOrUnreadableFileGivesAnEmptyGroup) {
  TempDir dir;
  fs::create_directory(dir / "folder.set");
  WriteBytes(dir / "binary.set", std::string("\0\xFF[GroupSet\x01=\n\n\x7F", 16));
  // A group in front of more than a settings file can hold is not read at all.
  WriteBytes(dir / "huge.set",
             "[GroupSet]\nfile0=a.aex\n" + std::string(IniDocument::kMaxFileSize, ';'));
  for (const fs::path& path :
       {fs::path(), dir / "absent.set", dir / "folder.set", dir / "binary.set", dir / "huge.set"}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(ReadGroupFile(path), GroupFiles{});
  }
}

TEST(GroupFile, RewritingKeepsForeignContent) {
  TempDir dir;
  const fs::path path = dir / "g.set";
  WriteBytes(path, "; mine\n[GroupSet]\nfile4=old\nnote=keep\n\n[Other]\nx=1\n");
  GroupFiles files;
  files[4] = "new";
  ASSERT_TRUE(WriteGroupFile(path, files).ok);
  EXPECT_EQ(ReadBytes(path),
            "; mine\n[GroupSet]\nfile4=new\nnote=keep\nfile0=\nfile1=\nfile2=\nfile3=\nfile5=\n"
            "file6=\nfile7=\nfile8=\n\n[Other]\nx=1\n");
}

TEST(GroupFile, PathWithALineBreakIsRefusedAndNothingWritten) {
  TempDir dir;
  const fs::path path = dir / "g.set";
  WriteBytes(path, "[GroupSet]\nfile0=old\n");
  GroupFiles files;
  files[0] = "fine";
  files[5] = "two\nlines";
  const WriteResult result = WriteGroupFile(path, files);
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.message.find(path.string()), std::string::npos);
  EXPECT_EQ(ReadBytes(path), "[GroupSet]\nfile0=old\n");
}

TEST(RememberedGroup, RoundTripInTheProgramIni) {
  TempDir dir;
  const fs::path ini = ProgramIniPath(dir / "kdsp");
  EXPECT_EQ(ini, dir / "kdsp.ini");
  EXPECT_EQ(ReadRememberedGroup(ini), "");

  const std::string group = "/home/ü ser/Upload Folder/Upload.set";
  ASSERT_TRUE(WriteRememberedGroup(ini, group).ok);
  EXPECT_EQ(ReadRememberedGroup(ini), group);
  EXPECT_EQ(ReadBytes(ini), "[Config]\ngroupini=" + group + "\n");

  ASSERT_TRUE(WriteRememberedGroup(ini, "").ok);
  EXPECT_EQ(ReadRememberedGroup(ini), "");
}

TEST(RememberedGroup, KeepsTheRestOfTheIni) {
  TempDir dir;
  const fs::path ini = dir / "kdsp.ini";
  WriteBytes(ini, "[Window]\nx=3\n[CONFIG]\nGroupIni=old.set\nother=1\n");
  ASSERT_TRUE(WriteRememberedGroup(ini, "new.set").ok);
  EXPECT_EQ(ReadBytes(ini), "[Window]\nx=3\n[CONFIG]\nGroupIni=new.set\nother=1\n");
}

TEST(ProgramIniPath, ReplacesTheExtension) {
  EXPECT_EQ(ProgramIniPath("/opt/kdsp/bin/kdsp"), fs::path("/opt/kdsp/bin/kdsp.ini"));
  EXPECT_EQ(ProgramIniPath("/opt/k.dsp/run.exe"), fs::path("/opt/k.dsp/run.ini"));
}

TEST(SlotNames, NineNamedSlotsAllListed) {
  const char* expected[] = {"START UP", "1", "2", "3", "4", "5", "6", "KARAOKE", "DISCO"};
  for (int slot = 0; slot < kGroupSlotCount; ++slot) {
    EXPECT_EQ(kSlotNames[slot].name, expected[slot]);
    EXPECT_NE(kSlotNames[slot].flag, 0);
  }
}

TEST(UploadAll, FileNamesInTheChosenFolder) {
  const fs::path folder = "/media/usb/My Set";
  EXPECT_EQ(UploadSettingFilePath(folder, 0), fs::path("/media/usb/My Set/START UP.aex"));
  EXPECT_EQ(UploadSettingFilePath(folder, 1), fs::path("/media/usb/My Set/1.aex"));
  EXPECT_EQ(UploadSettingFilePath(folder, 7), fs::path("/media/usb/My Set/KARAOKE.aex"));
  EXPECT_EQ(UploadSettingFilePath("/f/", 8), fs::path("/f/DISCO.aex"));
  EXPECT_EQ(UploadGroupFilePath(folder), fs::path("/media/usb/My Set/Upload.set"));
}

}  // namespace
}  // namespace kdsp::settings
