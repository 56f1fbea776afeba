// SPDX-License-Identifier: GPL-3.0-or-later
// The phone remote as the program runs it: the pairing, whose token hashes live in the program's
// INI file so a paired phone stays paired across a restart; the server on the program's target;
// and the line the program prints on stdout and the main window shows.
#pragma once

#include <QString>
#include <filesystem>
#include <functional>

#include "app/remote_line.h"
#include "remote/pairing.h"
#include "remote/remote_address.h"
#include "remote/remote_server.h"
#include "remote/remote_target.h"

namespace kdsp::app {

class PhoneRemote {
 public:
  PhoneRemote(remote::RemoteTarget& target, std::filesystem::path programIni);

  // Listens and prints the line; false, with error set, when the address cannot be taken.
  bool start(const remote::ListenAddress& address, QString& error);
  // A new code, printed again; every phone pairs again.
  void newCode();

  // "remote: http://ADDR:PORT/ code NNNNNN".
  QString text() const;
  RemoteLine line() const;
  // Told whenever line() may have changed.
  void setLineListener(std::function<void()> listener) { lineChanged_ = std::move(listener); }

  remote::RemoteServer& server() { return server_; }

 private:
  void print() const;
  void saveTokens();
  void tellLine();

  std::filesystem::path ini_;
  remote::Pairing pairing_;
  remote::RemoteServer server_;
  QString url_;
  std::function<void()> lineChanged_;
};

}  // namespace kdsp::app
