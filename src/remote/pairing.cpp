// SPDX-License-Identifier: GPL-3.0-or-later
// The pairing rules: codes, tokens and the pauses after wrong codes.
#include "remote/pairing.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <algorithm>

namespace kdsp::remote {
namespace {

constexpr int kTokenBytes = 32;

bool IsHashShaped(const QByteArray& hash) {
  return hash.size() == 64 && std::all_of(hash.begin(), hash.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
         });
}

// Compares every character whatever the first difference, so the time taken tells nothing of
// how much of a guess was right.
bool SameText(const QString& a, const QString& b) {
  if (a.size() != b.size()) return false;
  char16_t difference = 0;
  for (qsizetype i = 0; i < a.size(); ++i) difference |= a[i].unicode() ^ b[i].unicode();
  return difference == 0;
}

}  // namespace

Pairing::Pairing()
    : Pairing([] { return std::chrono::steady_clock::now(); },
              [] { return QRandomGenerator::system()->generate(); }) {}

Pairing::Pairing(Clock clock, RandomSource random)
    : clock_(std::move(clock)), random_(std::move(random)) {
  newCode();
}

quint32 Pairing::uniformBelow(quint32 bound) {
  // Values from the top, incomplete round of the 32-bit range would favour the low numbers.
  const quint32 limit = static_cast<quint32>(0x100000000ull / bound * bound - 1);
  for (;;) {
    const quint32 value = random_();
    if (value <= limit) return value % bound;
  }
}

void Pairing::newCode() {
  code_ = QStringLiteral("%1").arg(uniformBelow(1000000), kCodeDigits, 10, QChar('0'));
  if (!hashes_.isEmpty()) {
    hashes_.clear();
    tokensChanged();
  }
}

bool Pairing::IsCodeShaped(const QString& text) {
  return text.size() == kCodeDigits &&
         std::all_of(text.begin(), text.end(), [](QChar c) { return c >= '0' && c <= '9'; });
}

PairAnswer Pairing::pair(const QString& code) {
  const auto now = clock_();
  if (now < quietUntil_) {
    const auto left = std::chrono::ceil<std::chrono::seconds>(quietUntil_ - now);
    return {PairAnswer::Kind::kTooSoon, {}, static_cast<int>(std::max<long long>(1, left.count()))};
  }
  if (!SameText(code, code_)) {
    ++wrongInRow_;
    if (wrongInRow_ >= kFreeTries) {
      const int doublings = std::min(wrongInRow_ - kFreeTries, 6);
      quietUntil_ = now + std::min(std::chrono::seconds(1 << doublings), kLongestPause);
    }
    return {PairAnswer::Kind::kWrongCode, {}, 0};
  }
  wrongInRow_ = 0;
  QByteArray raw;
  while (raw.size() < kTokenBytes) {
    const quint32 word = random_();
    for (int shift = 0; shift < 32; shift += 8) raw.append(static_cast<char>(word >> shift));
  }
  const QByteArray token = raw.toHex();
  hashes_.append(HashOf(token));
  while (hashes_.size() > kMaxTokens) hashes_.removeFirst();
  tokensChanged();
  return {PairAnswer::Kind::kPaired, token, 0};
}

QByteArray Pairing::HashOf(const QByteArray& token) {
  return QCryptographicHash::hash(token, QCryptographicHash::Sha256).toHex();
}

void Pairing::restoreTokenHashes(const QList<QByteArray>& hashes) {
  hashes_.clear();
  for (const QByteArray& hash : hashes)
    if (IsHashShaped(hash) && !hashes_.contains(hash)) hashes_.append(hash);
  while (hashes_.size() > kMaxTokens) hashes_.removeFirst();
}

void Pairing::tokensChanged() {
  if (tokensChanged_) tokensChanged_();
}

}  // namespace kdsp::remote
