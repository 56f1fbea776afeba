// One running program per user: a second start asks the first to come to the front and ends.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <functional>

namespace kdsp::app {

class SingleInstance : public QObject {
 public:
  // The name identifies the program (and the user, so two users do not meet).
  explicit SingleInstance(QString name, QObject* parent = nullptr);

  // True when another instance is running; it has then been asked to come to the front.
  bool activateRunning();
  // Becomes the running instance; onActivate runs whenever a later start asks for it.
  bool listen(std::function<void()> onActivate);

  // One instance per user session: a name in $XDG_RUNTIME_DIR, else one per user.
  static QString DefaultName();

 private:
  QString name_;
  QLocalServer server_;
  std::function<void()> onActivate_;
};

}  // namespace kdsp::app
