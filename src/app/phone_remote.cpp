// SPDX-License-Identifier: GPL-3.0-or-later
// Running the phone remote in the program.
#include "app/phone_remote.h"

#include <QNetworkInterface>
#include <cstdio>

#include "app/language.h"
#include "remote/token_store.h"

namespace kdsp::app {

PhoneRemote::PhoneRemote(remote::RemoteTarget& target, std::filesystem::path programIni)
    : ini_(std::move(programIni)), server_(target, pairing_) {
  pairing_.restoreTokenHashes(remote::ReadTokenHashes(ini_));
  pairing_.setTokensListener([this] { saveTokens(); });
  QObject::connect(&server_, &remote::RemoteServer::eventClientsChanged, &server_,
                   [this] { tellLine(); });
}

bool PhoneRemote::start(const remote::ListenAddress& address, QString& error) {
  server_.setPageLanguage(InstalledLanguageTag());
  if (!server_.start(address, error)) return false;
  url_ = remote::RemoteUrl(
      remote::ReachableAddress(address.address, QNetworkInterface::allAddresses()), server_.port());
  print();
  tellLine();
  return true;
}

void PhoneRemote::newCode() {
  server_.newCode();
  print();
  tellLine();
}

QString PhoneRemote::text() const {
  return remote::RemoteLine(url_, pairing_.code());
}

RemoteLine PhoneRemote::line() const {
  return {!url_.isEmpty(), server_.eventClients() > 0, url_.toStdString(),
          pairing_.code().toStdString()};
}

void PhoneRemote::print() const {
  std::fputs((text() + '\n').toLocal8Bit().constData(), stdout);
  std::fflush(stdout);
}

void PhoneRemote::saveTokens() {
  // A phone paired meanwhile stays paired until the program ends even when the file cannot be
  // written; it pairs again after a restart.
  if (const settings::WriteResult written =
          remote::WriteTokenHashes(ini_, pairing_.tokenHashes(), remote::Pairing::kMaxTokens);
      !written)
    std::fprintf(stderr, "kdsp: the paired phones cannot be kept: %s\n", written.message.c_str());
}

void PhoneRemote::tellLine() {
  if (lineChanged_) lineChanged_();
}

}  // namespace kdsp::app
