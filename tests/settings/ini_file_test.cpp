// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the INI document: lookups as the Windows profile functions make them, edits that
// keep everything else, and hostile input.
#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace kdsp::settings {
namespace {

using namespace std::string_literals;
namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

struct FindCase {
  const char* name;
  std::string text;
  std::string section;
  std::string key;
  std::optional<std::string> expected;
};

TEST(IniDocument, FindsValuesAsTheProfileFunctionsDo) {
  const FindCase cases[] = {
      {"plain", "[GroupSet]\nfile0=a.aex\n", "GroupSet", "file0", "a.aex"},
      {"names ignore case", "[groupSET]\nFILE0=x\n", "GroupSet", "file0", "x"},
      {"blanks around names and value", "  [ GroupSet ]  \n\t file0 \t=  C:\\My Music\\a b.aex  \n",
       "GroupSet", "file0", "C:\\My Music\\a b.aex"},
      {"asked with blanks", "[S]\nk=v\n", " S ", " k ", "v"},
      {"CR LF", "[GroupSet]\r\nfile0=x\r\nfile1=y\r\n", "GroupSet", "file1", "y"},
      {"no newline at the end", "[GroupSet]\nfile0=x", "GroupSet", "file0", "x"},
      {"double quotes", "[S]\nk=\"  spaced  \"\n", "S", "k", "  spaced  "},
      {"single quotes", "[S]\nk='q'\n", "S", "k", "q"},
      {"unmatched quotes", "[S]\nk=\"q'\n", "S", "k", "\"q'"},
      {"one quote", "[S]\nk=\"\n", "S", "k", "\""},
      {"empty value", "[S]\nk=\n", "S", "k", ""},
      {"equals in value", "[S]\nk=a=b\n", "S", "k", "a=b"},
      {"comment skipped", "[S]\n;k=commented\nk=real\n", "S", "k", "real"},
      {"other section", "[A]\nk=1\n[B]\nk=2\n", "B", "k", "2"},
      {"before any section", "k=0\n[S]\n", "S", "k", std::nullopt},
      {"first of two keys", "[S]\nk=1\nK=2\n", "S", "k", "1"},
      {"second section of that name", "[S]\na=1\n[T]\nk=0\n[s]\nk=2\n", "S", "k", "2"},
      {"missing section", "[S]\nk=1\n", "T", "k", std::nullopt},
      {"missing key", "[S]\nk=1\n", "S", "j", std::nullopt},
      {"prefix is not the key", "[S]\nkk=1\n", "S", "k", std::nullopt},
      {"byte order mark", "\xEF\xBB\xBF[S]\nk=v\n", "S", "k", "v"},
      {"UTF-8 value", "[S]\nk=/home/jürgen/歌 1.aex\n", "S", "k", "/home/jürgen/歌 1.aex"},
      {"header without bracket", "[S\nk=v\n", "S", "k", "v"},
      {"text after header", "[S] ; note\nk=v\n", "S", "k", "v"},
      {"line without equals", "[S]\njunk\nk=v", "S", "k", "v"},
      {"NUL in value", "[S]\nk=a\0b\n"s, "S", "k", "a\0b"s},
      {"empty document", "", "S", "k", std::nullopt},
  };
  for (const FindCase& c : cases) {
    SCOPED_TRACE(c.name);
    const IniDocument document = IniDocument::Parse(c.text);
    EXPECT_EQ(document.Find(c.section, c.key), c.expected);
    EXPECT_EQ(document.Get(c.section, c.key, "fallback"), c.expected.value_or("fallback"));
  }
}

TEST(IniDocument, FindEachFindsWhatFindFinds) {
  // Keys in every spelling the document and the caller may use, one asked twice, one missing.
  const std::string keys[] = {"k", "file0", " K ", "FILE0", "absent", "a", "file1"};
  const std::string texts[] = {
      "[S]\nk=1\nK=2\nfile0=x\n",
      "[S]\na=1\n[T]\nk=0\n[s]\nk=2\nfile0='q'\n[S]\nfile1=late\na=again\n",
      "\xEF\xBB\xBF[ s ]\r\n;k=no\r\nFile0 = \" y \" \r\n[S\nfile1\nk\n[]\nk=out\n",
      "k=before\n[S]\n[T]\nk=other\n",
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    const IniDocument document = IniDocument::Parse(text);
    const auto values = document.FindEach("S", keys);
    ASSERT_EQ(values.size(), std::size(keys));
    for (std::size_t k = 0; k < std::size(keys); ++k) {
      EXPECT_EQ(values[k], document.Find("S", keys[k])) << keys[k];
    }
  }
  EXPECT_TRUE(IniDocument::Parse("[S]\nk=1\n").FindEach("S", {}).empty());
}

struct SetCase {
  const char* name;
  std::string before;
  std::string section;
  std::string key;
  std::string value;
  std::string after;
};

TEST(IniDocument, SetEditsInPlaceAndKeepsEverythingElse) {
  const SetCase cases[] = {
      {"replace in place", "; top\n[GroupSet]\nfile0=old\n; note\nfile1=b\n[Other]\nx=1\n",
       "GroupSet", "file0", "new", "; top\n[GroupSet]\nfile0=new\n; note\nfile1=b\n[Other]\nx=1\n"},
      {"replace keeps the file's spelling", "[groupset]\n  FILE0 = old \n", "GroupSet", "file0",
       "n", "[groupset]\nFILE0=n\n"},
      {"new key before the blank line", "[GroupSet]\nfile0=a\n\n[Other]\nx=1\n", "GroupSet",
       "file1", "b", "[GroupSet]\nfile0=a\nfile1=b\n\n[Other]\nx=1\n"},
      {"new key in an empty section", "[S]\n\n\n[T]\n", "S", "k", "v", "[S]\nk=v\n\n\n[T]\n"},
      {"new key after an unterminated line", "[S]\na=1", "S", "b", "2", "[S]\na=1\nb=2\n"},
      {"new section in an empty document", "", "S", "k", "v", "[S]\nk=v\n"},
      {"new section at the end", "[A]\nx=1\n", "S", "k", "v", "[A]\nx=1\n\n[S]\nk=v\n"},
      {"new section after a blank line", "[A]\nx=1\n\n", "S", "k", "v", "[A]\nx=1\n\n[S]\nk=v\n"},
      {"new section after an unterminated line", "[A]\nx=1", "S", "k", "v",
       "[A]\nx=1\n\n[S]\nk=v\n"},
      {"CR LF kept for new lines", "[A]\r\nx=1\r\n", "S", "k", "v",
       "[A]\r\nx=1\r\n\r\n[S]\r\nk=v\r\n"},
      {"CR LF after an unterminated line", "[A]\r\nx=1", "A", "y", "2", "[A]\r\nx=1\r\ny=2\r\n"},
      {"byte order mark kept", "\xEF\xBB\xBF[S]\nk=1\n", "S", "k", "2", "\xEF\xBB\xBF[S]\nk=2\n"},
      {"outer blanks quoted", "", "S", "k", "  padded ", "[S]\nk=\"  padded \"\n"},
      {"outer quotes quoted", "", "S", "k", "\"q\"", "[S]\nk=\"\"q\"\"\n"},
      {"empty value", "[S]\nk=1\n", "S", "k", "", "[S]\nk=\n"},
      {"names trimmed", "", " S ", " k ", "v", "[S]\nk=v\n"},
  };
  for (const SetCase& c : cases) {
    SCOPED_TRACE(c.name);
    IniDocument document = IniDocument::Parse(c.before);
    ASSERT_TRUE(document.Set(c.section, c.key, c.value));
    EXPECT_EQ(document.Serialize(), c.after);
    EXPECT_EQ(document.Get(c.section, c.key), c.value);
  }
}

TEST(IniDocument, SetRefusesWhatTheFormatCannotHold) {
  const std::string before = "[S]\nk=1\n";
  const struct {
    std::string section, key, value;
  } cases[] = {
      {"", "k", "v"},     {"  ", "k", "v"},       {"a]b", "k", "v"},  {"S\n", "k", "v"},
      {"S", "", "v"},     {"S", "a=b", "v"},      {"S", "[k", "v"},   {"S", ";k", "v"},
      {"S", "k\nj", "v"}, {"S", "k", "a\nb"},     {"S", "k", "a\rb"}, {"S", "k", "a\0b"s},
      {"S\0"s, "k", "v"}, {"S", "k", "line\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.section + "|" + c.key + "|" + c.value);
    IniDocument document = IniDocument::Parse(before);
    EXPECT_FALSE(document.Set(c.section, c.key, c.value));
    EXPECT_EQ(document.Serialize(), before);
  }
}

TEST(IniDocument, AnyStorableValueReadsBackExactly) {
  const std::string values[] = {
      "",
      " a",
      "a ",
      "\"a\"",
      "'a'",
      "\"",
      "a=b",
      ";x",
      "[x]",
      "\t",
      "\"a'",
      "' '",
      "C:\\a b\\c.aex",
      "/home/ü/歌 1.aex",
      std::string(100000, 'v'),
  };
  for (const std::string& value : values) {
    SCOPED_TRACE(value.substr(0, 20));
    IniDocument document = IniDocument::Parse("[S]\nk=old\n");
    ASSERT_TRUE(document.Set("S", "k", value));
    EXPECT_EQ(document.Get("S", "k"), value);
    EXPECT_EQ(IniDocument::Parse(document.Serialize()).Get("S", "k"), value);
  }
}

// Bytes that matter to the parser, mixed with others, in lines of any length.
std::string Garbage(std::mt19937& random) {
  static const std::string alphabet = "[]=; \t\r\n\"'aAkS\xEF\xBB\xBF\xFF"s + '\0';
  std::uniform_int_distribution<std::size_t> length(0, 300);
  std::uniform_int_distribution<int> pick(0, static_cast<int>(alphabet.size()) + 20);
  std::string text(length(random), '\0');
  for (char& c : text) {
    const int p = pick(random);
    c = p < static_cast<int>(alphabet.size()) ? alphabet[p] : static_cast<char>(random());
  }
  return text;
}

TEST(IniDocument, GarbageSurvivesUnchangedAndStaysEditable) {
  std::mt19937 random(20240611);
  for (int i = 0; i < 2000; ++i) {
    const std::string text = Garbage(random);
    SCOPED_TRACE(i);
    IniDocument document = IniDocument::Parse(text);
    ASSERT_EQ(document.Serialize(), text);
    document.Get("S", "k");
    ASSERT_TRUE(document.Set("GroupSet", "file3", "/a b/ü.aex"));
    const IniDocument reread = IniDocument::Parse(document.Serialize());
    ASSERT_EQ(reread.Get("GroupSet", "file3"), "/a b/ü.aex");
    const std::string keys[] = {"k", "a", "file3", "K"};
    const auto values = reread.FindEach("S", keys);
    for (std::size_t k = 0; k < std::size(keys); ++k) {
      ASSERT_EQ(values[k], reread.Find("S", keys[k])) << keys[k];
    }
  }
}

TEST(IniDocument, UnchangedDocumentsWriteBackByteForByte) {
  const std::string texts[] = {
      "[A]\r\nx=1\n[B]\ny = 2 \r\n; c\r\n",
      "no section\n\n\n",
      "\xEF\xBB\xBF",
      "\r\n\r\r\n\n",
      "[S]\nk=v",
      std::string(1 << 20, 'x') + "=y\n[S]\n",
  };
  for (const std::string& text : texts) {
    EXPECT_EQ(IniDocument::Parse(text).Serialize(), text);
  }
}

TEST(IniDocument, MissingOrUnreadableFilesReadAsEmpty) {
  TempDir dir;
  fs::create_directory(dir / "folder.ini");
  WriteBytes(dir / "huge.ini", "[S]\nk=v\n" + std::string(IniDocument::kMaxFileSize, ';'));
  for (const char* name : {"absent.ini", "folder.ini", "huge.ini"}) {
    SCOPED_TRACE(name);
    const IniDocument document = IniDocument::Read(dir / name);
    EXPECT_EQ(document.Serialize(), "");
    EXPECT_EQ(document.Get("S", "k", "default"), "default");
  }
}

TEST(IniDocument, WriteAndReadAFile) {
  TempDir dir;
  const fs::path path = dir / "prog ram.ini";
  const std::string foreign = "; written elsewhere\r\n[Window]\r\nLeft=10\r\n";
  WriteBytes(path, foreign);
  IniDocument document = IniDocument::Read(path);
  ASSERT_TRUE(document.Set("Config", "groupini", "/x/y z.set"));
  ASSERT_TRUE(document.Write(path).ok);
  EXPECT_EQ(ReadBytes(path), foreign + "\r\n[Config]\r\ngroupini=/x/y z.set\r\n");
  EXPECT_EQ(IniDocument::Read(path).Get("config", "GROUPINI"), "/x/y z.set");
}

TEST(IniDocument, EntriesListAndRemoveTakeEveryLineOfTheKey) {
  IniDocument document = IniDocument::Parse(
      "[Rooms]\r\nA=1\r\n; note\r\nb = \" 2 \"\r\n[Other]\r\nA=9\r\n[rooms]\r\na=3\r\nC=4\r\n");
  const std::vector<std::pair<std::string, std::string>> expected{
      {"A", "1"}, {"b", " 2 "}, {"C", "4"}};
  EXPECT_EQ(document.Entries("ROOMS"), expected);
  EXPECT_TRUE(document.Entries("Missing").empty());

  EXPECT_TRUE(document.Remove("rooms", " a "));
  EXPECT_FALSE(document.Remove("rooms", "a"));
  EXPECT_EQ(document.Serialize(),
            "[Rooms]\r\n; note\r\nb = \" 2 \"\r\n[Other]\r\nA=9\r\n[rooms]\r\nC=4\r\n");
}

}  // namespace
}  // namespace kdsp::settings
