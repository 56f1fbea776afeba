// SPDX-License-Identifier: GPL-3.0-or-later
// One running program per user: a later start passes its arguments to the running program,
// prints that program's answer and ends. A program given a private name (a test's) neither
// meets the user's program nor is met by it.
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "app/instance_message.h"

namespace kdsp::app {

class SingleInstance : public QObject {
 public:
  // How long a later start waits for the running program's answer. The running program answers
  // once it has opened the page and saved the screenshot asked for, a matter of milliseconds;
  // only a program that hangs reaches the limit.
  static constexpr int kAnswerLimitMs = 20000;

  // The name identifies the program (and the user, so two users do not meet).
  explicit SingleInstance(QString name, QObject* parent = nullptr);

  // Either this start becomes the running program, in one step that no other start can take
  // at the same time (a lock file beside the socket, held until this object goes), and nothing
  // is answered; or another start holds it, and this is that program's answer to the request,
  // once it listens. A program that runs but gives no usable answer is answered for: a message
  // and status 1.
  std::optional<InstanceReply> handOver(const InstanceRequest& request);

  // The running program's answer to the request; nothing when no program listens under this
  // name.
  std::optional<InstanceReply> askRunning(const InstanceRequest& request);

  // Listens as the running instance (after handOver made this start the one). onRequest runs
  // for every later start's request, from the event loop, and its answer goes back. A peer that
  // leaves without a whole request (an older start that only asks to be activated) gets the
  // empty request's handling and no answer.
  using RequestHandler = std::function<InstanceReply(const InstanceRequest& request)>;
  bool listen(RequestHandler onRequest);

  // The server name of the user's own instance (no private name) or of a private one: in
  // $XDG_RUNTIME_DIR when the session has one (one per user session), else one per user.
  static QString NameFor(const std::optional<std::string>& privateName);
  static QString DefaultName() { return NameFor(std::nullopt); }
  // The lock file beside the server's socket, which the running program holds.
  static QString LockPath(const QString& name);

 private:
  void serve(class QLocalSocket* client);

  QString name_;
  QLockFile lock_;
  QLocalServer server_;
  RequestHandler onRequest_;
};

}  // namespace kdsp::app
