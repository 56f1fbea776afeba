// SPDX-License-Identifier: GPL-3.0-or-later
// Pairing a phone with the program: a six-digit code, shown on the PC, is exchanged once for a
// token the phone keeps. Only a SHA-256 hash of each token is kept, so the program's INI file
// holds nothing a phone could present. Wrong codes in a row make the next tries wait, so the
// code cannot be guessed by trying them all. Plain state with an injected clock and random
// source, so the rules are tested without waiting.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <chrono>
#include <functional>

namespace kdsp::remote {

struct PairAnswer {
  enum class Kind { kPaired, kWrongCode, kTooSoon };
  Kind kind = Kind::kWrongCode;
  QByteArray token;           // kPaired: 64 lowercase hex characters
  int retryAfterSeconds = 0;  // kTooSoon: how long until the next try is heard
};

class Pairing {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  // 32 random bits per call.
  using RandomSource = std::function<quint32()>;

  // Wrong codes in a row heard without a pause; each one after them doubles the pause, from
  // one second up to kLongestPause.
  static constexpr int kFreeTries = 3;
  static constexpr std::chrono::seconds kLongestPause{60};
  // Tokens kept; pairing one more forgets the oldest.
  static constexpr int kMaxTokens = 16;
  static constexpr int kCodeDigits = 6;

  // The system clock and the system's cryptographic random source.
  Pairing();
  Pairing(Clock clock, RandomSource random);

  const QString& code() const { return code_; }
  // A fresh code; every token is forgotten, so every phone pairs again.
  void newCode();
  // A code as the phone sent it: six digits. Anything else is no try at all.
  static bool IsCodeShaped(const QString& text);
  PairAnswer pair(const QString& code);

  // Whether a token presented by a phone is one of those handed out and kept.
  bool accepts(const QByteArray& token) const { return knowsHash(HashOf(token)); }
  bool knowsHash(const QByteArray& hash) const { return hashes_.contains(hash); }
  // The lowercase hex SHA-256 of a token: what is kept of it.
  static QByteArray HashOf(const QByteArray& token);

  // The kept hashes, oldest first.
  const QList<QByteArray>& tokenHashes() const { return hashes_; }
  // Takes hashes kept by an earlier run, oldest first: the last kMaxTokens that are
  // well-formed (64 lowercase hex characters) are kept.
  void restoreTokenHashes(const QList<QByteArray>& hashes);
  // Told whenever the kept hashes change, so they can be saved.
  void setTokensListener(std::function<void()> listener) { tokensChanged_ = std::move(listener); }

 private:
  quint32 uniformBelow(quint32 bound);
  void tokensChanged();

  Clock clock_;
  RandomSource random_;
  QString code_;
  QList<QByteArray> hashes_;
  int wrongInRow_ = 0;
  std::chrono::steady_clock::time_point quietUntil_{};
  std::function<void()> tokensChanged_;
};

}  // namespace kdsp::remote
