// SPDX-License-Identifier: GPL-3.0-or-later
// End-to-end tests of kdspctl: the real binary on real files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "settings/parameter_block.h"
#include "settings/setting_file.h"
#include "core/program_version.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

namespace kdsp {
namespace {

namespace fs = std::filesystem;

using testing::RunResult;

class KdspctlTest : public ::testing::Test {
 protected:
  RunResult run(const std::string& args, const std::string& input = "") {
    return testing::RunCommand(std::string(KDSPCTL_PATH) + " " + args, temp.path(), input);
  }

  std::string file(const std::string& name, const settings::ParameterBlock& block) {
    const fs::path p = dir / name;
    EXPECT_TRUE(settings::WriteSettingFile(p, block).ok);
    return p.string();
  }

  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream s(text);
    for (std::string line; std::getline(s, line);) lines.push_back(line);
    return lines;
  }

  testing::TempDir temp;
  const fs::path& dir = temp.path();
};

TEST_F(KdspctlTest, NewWritesTheFactoryFile) {
  const fs::path p = dir / "factory.aex";
  ASSERT_EQ(run("new " + p.string()).status, 0);
  const std::string bytes = testing::ReadBytes(p);
  ASSERT_EQ(bytes.size(), 724u);
  EXPECT_EQ(
      bytes.substr(0, 24),
      std::string("QM7_V1.0 \x02\x00\x00\x57\x33\x22\x11\xF1\x02\x02\x00\x1E\x1E\x04\x32", 24));
}

TEST_F(KdspctlTest, DumpShowsFieldsInUserUnits) {
  settings::ParameterBlock block = settings::FactoryDefaults();
  block.bands[28].gain = -35;
  block.mix[1][0] = 0x80 | 20;
  block.compressors[2].threshold = -20;
  block.outputDelay[4] = 12340;
  block.reserved702[1] = 0xAB;
  const RunResult r = run("dump " + file("a.aex", block));
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r.out);
  for (const char* expected : {
           "musicInput = DVD",
           "bands[28].gain = -3.5 dB",
           "bands[28].frequency = 125.00 Hz [ 125] (step 95)",
           "bands[0].type = low shelf",
           "bands[6].bandwidth = 0.50 oct",
           "filters[9].frequency = 250.00 Hz [ 250] (step 131)",
           "filters[9].family = Linkwitz-Riley",
           "filters[9].order = 24 dB/oct",
           "filters[7].frequency = OFF (step 359)",
           "compressors[5].attack = 100ms",
           "compressors[0].release = 8X",
           "compressors[2].threshold = -20 dB",
           "mix[center][music] = 20 muted",
           "outputDelay[surround left] = 12.34 ms",
           "reserved702 = 00 AB 00 00",
           "outputMutes.main left = on",
           "checksum = 0x0000",
       }) {
    EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end()) << expected;
  }
}

TEST_F(KdspctlTest, DumpJsonIsOneObjectWithTheSameFields) {
  const std::string path = file("a.aex", settings::FactoryDefaults());
  const RunResult text = run("dump " + path);
  const RunResult json = run("dump " + path + " --json");
  ASSERT_EQ(json.status, 0);
  EXPECT_EQ(json.out.front(), '{');
  EXPECT_EQ(json.out.substr(json.out.size() - 2), "}\n");
  EXPECT_NE(
      json.out.find("\"bands[6].frequency\": {\"step\":203,\"hz\":1000.00,\"label\":\"1K00\"}"),
      std::string::npos);
  EXPECT_NE(json.out.find("\"mix[center][echo]\": {\"level\":0,\"muted\":false}"),
            std::string::npos);
  EXPECT_EQ(Lines(json.out).size(), Lines(text.out).size() + 2);
}

TEST_F(KdspctlTest, DiffListsChangedFieldsAndSetsTheExitStatus) {
  settings::ParameterBlock changed = settings::FactoryDefaults();
  changed.bands[3].gain = 30;
  changed.revWidth = 10;
  const std::string a = file("a.aex", settings::FactoryDefaults());
  const std::string b = file("b.aex", changed);
  const RunResult same = run("diff " + a + " " + a);
  EXPECT_EQ(same.status, 0);
  EXPECT_EQ(same.out, "");
  const RunResult differ = run("diff " + a + " " + b);
  EXPECT_EQ(differ.status, 1);
  EXPECT_EQ(differ.out, "bands[3].gain: +0.0 dB -> +3.0 dB\nrevWidth: 90 -> 10\n");
}

TEST_F(KdspctlTest, CurveSumsThePageBandsAndFilters) {
  settings::ParameterBlock block = settings::FactoryDefaults();
  block.bands[28] = {120, 203, 19, 0, 1, 0};  // +12 dB at 1 kHz, one octave
  block.bands[29] = {-60, 95, 9, 0, 0, 0};    // switched off: not summed
  const RunResult r = run("curve " + file("a.aex", block) + " --page main");
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 362u);
  EXPECT_EQ(lines.front().substr(0, 6), "20.00\t");
  EXPECT_EQ(lines.back().substr(0, 9), "23000.00\t");
  EXPECT_EQ(lines[1 + 203].substr(0, 8), "1000.00\t");
  EXPECT_NEAR(std::stod(lines[1 + 203].substr(8)), 12.0, 0.002);
  const std::string& at125 = lines[1 + 95];
  EXPECT_EQ(at125.substr(0, 7), "125.00\t");
  EXPECT_GT(std::stod(at125.substr(7)), -0.5);  // about -6 dB there if it were summed
}

TEST_F(KdspctlTest, CurveOfTheMicPagePicksItsSet) {
  settings::ParameterBlock block = settings::FactoryDefaults();
  block.bands[6].gain = 60;
  block.bands[54].gain = -60;
  const std::string path = file("a.aex", block);
  const auto a = Lines(run("curve " + path + " --page mic").out);
  const auto b = Lines(run("curve " + path + " --page mic --mic-set b").out);
  ASSERT_EQ(a.size(), 362u);
  ASSERT_EQ(b.size(), 362u);
  EXPECT_NEAR(std::stod(a[204].substr(8)), 6.0, 0.01);
  EXPECT_NEAR(std::stod(b[204].substr(8)), -6.0, 0.01);
}

TEST_F(KdspctlTest, EqExportThenImportLeavesTheSettingFileAsItWas) {
  settings::ParameterBlock block = settings::FactoryDefaults();
  block.bands[48] = {-65, 61, 3, 1, 1, 0};    // low shelf
  block.bands[52] = {35, 150, 27, 0, 0, 0};   // switched off, kept with its values
  block.bands[62] = {-240, 340, 0, 2, 1, 0};  // high shelf
  const std::string path = file("a.aex", block);
  const std::string before = testing::ReadBytes(path);
  const fs::path list = dir / "mic-b.txt";
  const RunResult exported =
      run("eq export " + path + " --page mic --mic-set b -o " + list.string());
  ASSERT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(exported.out, "");
  const auto text = Lines(testing::ReadBytes(list));
  ASSERT_EQ(text.size(), 20u);
  EXPECT_EQ(text[5], "Filter  1: ON  LS       Fc    65.0 Hz  Gain  -6.50 dB");
  EXPECT_EQ(text[9], "Filter  5: OFF PK       Fc   360.4 Hz  Gain   3.50 dB  Q  0.991");

  const RunResult imported = run("eq import " + path + " --page mic --mic-set b " + list.string());
  ASSERT_EQ(imported.status, 0) << imported.err;
  const auto report = Lines(imported.out);
  ASSERT_EQ(report.size(), 17u);  // 15 bands, the linked sets' note, the deviation
  EXPECT_EQ(report[0], "line 6: LS 65.0 Hz -6.50 dB -> bands[48]: LS 65.0 Hz -6.5 dB");
  EXPECT_TRUE(report.back().starts_with("largest deviation: ")) << report.back();
  EXPECT_EQ(testing::ReadBytes(path), before);
}

TEST_F(KdspctlTest, EqImportSetsThePageAndReportsEachFilter) {
  const std::string path = file("a.aex", settings::FactoryDefaults());
  std::ofstream(dir / "room.txt")
      << "Filter Settings file\n"
         "Notes: sub, listening position\n"
         "Equaliser: Generic\n"
         "Filter  1: ON  PK       Fc   42,80 Hz  Gain  -7,50 dB  Q  6,200\n"
         "Filter  2: ON  None\n"
         "Filter: ON HP Fc 25 Hz\n"
         "Target:\tsub \xE2\x88\x92" "3 dB\n";
  const fs::path out = dir / "b.aex";
  const RunResult r = run("eq import " + path + " --page subwoofer " + (dir / "room.txt").string() +
                          " -o " + out.string());
  ASSERT_EQ(r.status, 0) << r.err;
  const auto report = Lines(r.out);
  ASSERT_EQ(report.size(), 4u) << r.out;
  EXPECT_EQ(report[0],
            "line 4: PK 42.8 Hz -7.50 dB Q 6.200 -> bands[38]: PK 42.5 Hz -7.5 dB Q 5.764");
  EXPECT_EQ(report[1], "line 6: HP 25.0 Hz -> filters[8] high-pass: 24.8 Hz Butterworth 12 dB/oct");
  EXPECT_EQ(report[2], "line 7: not a filter or preamp line, not read: \"Target:\tsub <U+2212>3 dB\"");
  EXPECT_TRUE(report[3].starts_with("largest deviation: ")) << report[3];
  EXPECT_EQ(run("diff " + path + " " + out.string()).out,
            "bands[38].gain: +0.0 dB -> -7.5 dB\n"
            "bands[38].frequency: 125.00 Hz [ 125] (step 95) -> 42.52 Hz [42.5] (step 39)\n"
            "bands[38].bandwidth: 0.50 oct -> 0.25 oct\n"
            "filters[8].frequency: OFF (step 0) -> 24.80 Hz [24.8] (step 11)\n"
            "filters[8].family: Linkwitz-Riley -> Butterworth\n"
            "filters[8].order: 24 dB/oct -> 12 dB/oct\n");
}

TEST_F(KdspctlTest, EncodeAndDecode) {
  EXPECT_EQ(run("encode 0xE5 0x00").out, ":E50001001A\n");
  EXPECT_EQ(run("encode 224 240 0").out, ":E00002F0002E\n");
  EXPECT_EQ(run("encode 0x12").out, ":120000EE\n");
  const RunResult r = run("decode", ":F00001010E\r\n:F00001010F\r\nnoise:E6000121F8\r\n:BA00");
  ASSERT_EQ(r.status, 0);
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_NE(lines[0].find("acknowledgement"), std::string::npos);
  EXPECT_NE(lines[0].find("01"), std::string::npos);
  EXPECT_EQ(lines[1], "dropped (checksum error): :F00001010F");
  EXPECT_NE(lines[2].find("version"), std::string::npos);
  EXPECT_EQ(lines[3], "dropped (incomplete at end of input)");
}

TEST_F(KdspctlTest, DecodeShowsADroppedRecordOnOneLineUpToItsCr) {
  const RunResult r = run("decode", ":Z\x01\\\n\r\n:F00001010E\r\n");
  ASSERT_EQ(r.status, 0);
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "dropped (length too large): :Z\\x01\\x5C\\x0A");
  EXPECT_NE(lines[1].find("acknowledgement"), std::string::npos);
}

TEST_F(KdspctlTest, NoArgumentsShowTheUsageOnStderrAndVersionAnswers) {
  const RunResult bare = run("");
  EXPECT_EQ(bare.status, 2);
  EXPECT_EQ(bare.out, "");
  EXPECT_TRUE(bare.err.starts_with("usage: kdspctl COMMAND [ARGS]")) << bare.err;
  const RunResult version = run("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "kdspctl " + std::string(kdsp::core::kProgramVersion) + "\n");
}

TEST_F(KdspctlTest, BadInputGivesAMessageAndAnExitStatus) {
  std::ofstream(dir / "short.aex") << "QM7_V1.0 ";
  std::string foreign(724, 'x');
  std::ofstream(dir / "foreign.aex", std::ios::binary) << foreign;
  auto typeOne = settings::EncodeSettingFile(settings::FactoryDefaults());
  typeOne[9] = 1;
  std::ofstream(dir / "type1.aex", std::ios::binary)
      .write(reinterpret_cast<const char*>(typeOne.data()), typeOne.size());
  const std::string good = file("good.aex", settings::FactoryDefaults());
  const std::string goodBytes = testing::ReadBytes(good);
  std::ofstream(dir / "xx.txt") << "# one wrong type\nFilter 1: ON XX Fc 1 Hz\n";
  std::ofstream six(dir / "six.txt");
  for (int i = 0; i < 6; ++i) six << "Filter: ON PK Fc " << 100 * (i + 1) << " Hz Gain 1 dB Q 1\n";
  six.close();
  std::ofstream(dir / "hp.txt") << "Filter: ON HP Fc 80 Hz\n";
  // Files without a filter line: a configuration all commented out, a measurement's table, an
  // empty file, a setting file.
  std::ofstream(dir / "off.txt") << "Preamp: -6 dB\n# Filter: ON PK Fc 100 Hz Gain -3 dB Q 1\n";
  std::ofstream(dir / "table.txt") << "* Freq(Hz) SPL(dB)\n20.000 71.5\n20.250 71.6\n";
  std::ofstream(dir / "empty.txt") << "";
  // 2 is for what the user asked wrongly (arguments, input files); 1 for work that failed.
  struct Case {
    std::string args;
    std::string message;
    int status = 2;
  };
  const Case cases[] = {
      {"dump " + (dir / "missing.aex").string(), "Can't read " + (dir / "missing.aex").string()},
      {"dump " + (dir / "short.aex").string(), "short"},
      {"dump " + (dir / "foreign.aex").string(), "File Version error!"},
      {"dump " + (dir / "type1.aex").string(), "not a setting file of type 2"},
      {"diff " + good + " " + (dir / "missing.aex").string(), "Can't read"},
      {"curve " + good + " --page lobby", "unknown page 'lobby'"},
      {"curve " + good, "usage"},
      {"encode 0xZZ", "is not a number"},
      {"encode 1 300", "out of range"},
      {"encode --5", "code '--5' is not a number"},
      {"pull --slot --3 -o x.aex", "--slot '--3' is not a number"},
      {"pull --slot 0x3 -o x.aex", "--slot '0x3' is not a number"},
      {"--connect tcp://127.0.0.1:--5 info", "tcp://127.0.0.1:--5: port '--5' is not a number"},
      {"watch --every ' 100'", "--every ' 100' is not a number"},
      {"encode", "usage"},
      {"new " + (dir / "no" / "such" / "folder.aex").string(), "folder.aex", 1},
      {"frobnicate", "unknown command"},
      {"decode " + (dir / "missing.bin").string(), "Can't read"},
      {"eq export " + good, "usage: kdspctl eq export"},
      {"eq sing " + good, "unknown eq command 'sing'"},
      {"eq import " + good + " --page main " + (dir / "missing.txt").string(), "Can't read"},
      {"eq import " + good + " --page main " + (dir / "xx.txt").string(),
       "xx.txt: line 2: unknown filter type 'XX' in \"Filter 1: ON XX Fc 1 Hz\"; " + good +
           " is unchanged"},
      {"eq import " + good + " --page main " + (dir / "six.txt").string(),
       "six.txt: the file has 6 filters; the Main Output page has 5 bands"},
      {"eq import " + good + " --page music " + (dir / "hp.txt").string(),
       "line 1: the Music Equalizer page has no high-pass filter"},
      {"eq export " + good + " --page main -o " + (dir / "no" / "such" / "x.txt").string(), "x.txt",
       1},
  };
  std::vector<Case> all(std::begin(cases), std::end(cases));
  for (const std::string& noFilters :
       {(dir / "off.txt").string(), (dir / "table.txt").string(), (dir / "empty.txt").string(),
        good}) {
    all.push_back({"eq import " + good + " --page music " + noFilters,
                   "no filters found in " + noFilters + "; " + good + " is unchanged"});
  }
  for (const Case& c : all) {
    const RunResult r = run(c.args);
    EXPECT_EQ(r.status, c.status) << c.args;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << " -> " << r.err;
    EXPECT_EQ(r.out, "") << c.args;
  }
  EXPECT_EQ(testing::ReadBytes(good), goodBytes);
}

}  // namespace
}  // namespace kdsp
