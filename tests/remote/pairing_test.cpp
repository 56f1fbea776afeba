// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the pairing rules: the code, the tokens and what is kept of them, the pauses after
// wrong codes in a row, and the hashes kept in the program's INI file.
#include "remote/pairing.h"

#include <gtest/gtest.h>

#include <deque>

#include "remote/token_store.h"
#include "support/temp_dir.h"

namespace kdsp::remote {
namespace {

using namespace std::chrono_literals;
using Kind = PairAnswer::Kind;

// A clock moved by hand and a random source that plays given words, then counts up.
class PairingTest : public ::testing::Test {
 protected:
  Pairing make() {
    return Pairing([this] { return now; },
                   [this] {
                     if (words.empty()) return counter++;
                     const quint32 w = words.front();
                     words.pop_front();
                     return w;
                   });
  }

  std::chrono::steady_clock::time_point now{std::chrono::hours(1)};
  std::deque<quint32> words;
  quint32 counter = 0x01020304;
};

TEST_F(PairingTest, CodeIsSixDigitsDrawnWithoutBias) {
  // 4294967295 lies in the incomplete top round of the 32-bit range and is drawn again.
  words = {4217, 4294967295u, 4294000000u - 1, 0};
  Pairing pairing = make();
  EXPECT_EQ(pairing.code().toStdString(), "004217");
  pairing.newCode();
  EXPECT_EQ(pairing.code().toStdString(), "999999");
  pairing.newCode();
  EXPECT_EQ(pairing.code().toStdString(), "000000");
}

TEST_F(PairingTest, CodeShape) {
  for (const char* text : {"000000", "123456", "999999"}) EXPECT_TRUE(Pairing::IsCodeShaped(text));
  for (const char* text : {"", "12345", "1234567", "12345a", " 12345", "١٢٣٤٥٦"})
    EXPECT_FALSE(Pairing::IsCodeShaped(QString::fromUtf8(text))) << text;
}

TEST_F(PairingTest, RightCodeGivesATokenKeptOnlyAsItsHash) {
  words = {123456, 0xddccbbaa, 0x07060504};
  Pairing pairing = make();
  const PairAnswer answer = pairing.pair("123456");
  ASSERT_EQ(answer.kind, Kind::kPaired);
  // The random words, least significant byte first, as hex.
  EXPECT_EQ(answer.token.left(16).toStdString(), "aabbccdd04050607");
  EXPECT_EQ(answer.token.size(), 64);
  EXPECT_TRUE(pairing.accepts(answer.token));
  EXPECT_EQ(pairing.tokenHashes(), QList<QByteArray>{Pairing::HashOf(answer.token)});
  EXPECT_FALSE(pairing.tokenHashes().contains(answer.token));
  EXPECT_FALSE(pairing.accepts(answer.token.toUpper()));
  EXPECT_FALSE(pairing.accepts(pairing.tokenHashes().front()));
  EXPECT_FALSE(pairing.accepts({}));
  // SHA-256 of "abc".
  EXPECT_EQ(Pairing::HashOf("abc").toStdString(),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST_F(PairingTest, WrongCodesInARowPauseTheTriesOneTwoFourUpToSixtySeconds) {
  words = {111111};
  Pairing pairing = make();
  // Each step: wrong tries heard at once, then the pause asked for at once and one second before
  // its end, then the clock moves past it.
  EXPECT_EQ(pairing.pair("000001").kind, Kind::kWrongCode);
  EXPECT_EQ(pairing.pair("000002").kind, Kind::kWrongCode);
  EXPECT_EQ(pairing.pair("000003").kind, Kind::kWrongCode);
  const int pauses[] = {1, 2, 4, 8, 16, 32, 60, 60};
  for (int pause : pauses) {
    SCOPED_TRACE(pause);
    // The right code too is not heard during the pause.
    const PairAnswer refused = pairing.pair("111111");
    EXPECT_EQ(refused.kind, Kind::kTooSoon);
    EXPECT_EQ(refused.retryAfterSeconds, pause);
    now += std::chrono::seconds(pause) - 500ms;
    EXPECT_EQ(pairing.pair("111111").retryAfterSeconds, 1);
    now += 500ms;
    EXPECT_EQ(pairing.pair("000004").kind, Kind::kWrongCode);
  }
  now += 60s;
  EXPECT_EQ(pairing.pair("111111").kind, Kind::kPaired);
  // The right code ends the row: three wrong ones are heard again.
  for (int i = 0; i < 3; ++i) EXPECT_EQ(pairing.pair("000005").kind, Kind::kWrongCode);
  EXPECT_EQ(pairing.pair("111111").kind, Kind::kTooSoon);
}

TEST_F(PairingTest, NewCodeDropsEveryTokenAndRefusesTheOldCode) {
  words = {222222, 1, 2, 3, 4, 5, 6, 7, 8, 333333};
  Pairing pairing = make();
  int saves = 0;
  pairing.setTokensListener([&] { ++saves; });
  const PairAnswer answer = pairing.pair("222222");
  ASSERT_EQ(answer.kind, Kind::kPaired);
  EXPECT_EQ(saves, 1);
  pairing.newCode();
  EXPECT_EQ(pairing.code().toStdString(), "333333");
  EXPECT_EQ(saves, 2);
  EXPECT_FALSE(pairing.accepts(answer.token));
  EXPECT_TRUE(pairing.tokenHashes().isEmpty());
  EXPECT_EQ(pairing.pair("222222").kind, Kind::kWrongCode);
  // Nothing to drop: nothing to save.
  pairing.newCode();
  EXPECT_EQ(saves, 2);
}

TEST_F(PairingTest, OnlyTheLatestTokensAreKept) {
  words = {555555};
  Pairing pairing = make();
  std::vector<QByteArray> tokens;
  for (int i = 0; i < Pairing::kMaxTokens + 2; ++i) tokens.push_back(pairing.pair("555555").token);
  EXPECT_EQ(pairing.tokenHashes().size(), Pairing::kMaxTokens);
  EXPECT_FALSE(pairing.accepts(tokens[0]));
  EXPECT_FALSE(pairing.accepts(tokens[1]));
  for (std::size_t i = 2; i < tokens.size(); ++i) EXPECT_TRUE(pairing.accepts(tokens[i])) << i;
}

TEST_F(PairingTest, RestoredHashesKeepTheLatestWellFormedOnes) {
  Pairing pairing = make();
  QList<QByteArray> kept;
  for (int i = 0; i < Pairing::kMaxTokens + 1; ++i)
    kept.append(Pairing::HashOf(QByteArray::number(i)));
  QList<QByteArray> offered = kept;
  offered.insert(3, "not a hash");
  offered.insert(4, kept[5].toUpper());
  offered.insert(5, kept[6].left(63));
  offered.append(kept.back());  // twice
  pairing.restoreTokenHashes(offered);
  EXPECT_EQ(pairing.tokenHashes(), kept.mid(1));
  EXPECT_TRUE(pairing.accepts(QByteArray::number(Pairing::kMaxTokens)));
  EXPECT_FALSE(pairing.accepts("0"));
}

TEST(TokenStore, HashesSurviveInTheIniBesideItsOtherSections) {
  testing::TempDir dir;
  const std::filesystem::path ini = dir / "kdsp.ini";
  testing::WriteBytes(ini, "[Config]\ngroupini=/home/u/group.ini\n");
  const QList<QByteArray> three = {Pairing::HashOf("a"), Pairing::HashOf("b"),
                                   Pairing::HashOf("c")};
  ASSERT_TRUE(WriteTokenHashes(ini, three, Pairing::kMaxTokens));
  EXPECT_EQ(ReadTokenHashes(ini), three);
  ASSERT_TRUE(WriteTokenHashes(ini, {Pairing::HashOf("d")}, Pairing::kMaxTokens));
  EXPECT_EQ(ReadTokenHashes(ini), QList<QByteArray>{Pairing::HashOf("d")});
  const std::string text = testing::ReadBytes(ini);
  EXPECT_TRUE(text.starts_with("[Config]\ngroupini=/home/u/group.ini\n\n[Remote]\nToken1=" +
                               Pairing::HashOf("d").toStdString() + "\nToken2=\n"))
      << text;
  EXPECT_TRUE(ReadTokenHashes(dir / "missing.ini").isEmpty());
}

}  // namespace
}  // namespace kdsp::remote
