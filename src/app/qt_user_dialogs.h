// SPDX-License-Identifier: GPL-3.0-or-later
// Messages, questions, input boxes and file dialogs as the program shows them: Qt's standard
// dialogs over the main window, or over the modal window open at the time (the system control
// panel), so that they never fall behind the main window.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include "settings/user_dialogs.h"

class QMessageBox;

namespace kdsp::app {

class QtUserDialogs : public settings::UserDialogs {
 public:
  QtUserDialogs() = default;
  // Closes the questions still open; their answers are never given.
  ~QtUserDialogs() override;
  QtUserDialogs(const QtUserDialogs&) = delete;
  QtUserDialogs& operator=(const QtUserDialogs&) = delete;

  // The window boxes belong to when no modal window is open.
  void setParent(QWidget* parent) { parent_ = parent; }
  // The window a box opened now belongs to: the modal window on top, else the parent above.
  QWidget* owner() const;

  void showMessage(std::string_view text) override;
  bool askYesNo(std::string_view caption, std::string_view question) override;
  // The question box of askYesNo, shown application-modal without a loop of its own; closing it
  // (Escape, the window's close button) answers No.
  void askYesNoAsync(std::string_view caption, std::string_view question,
                     std::function<void(bool yes)> answered) override;
  std::optional<std::string> askText(std::string_view caption, std::string_view prompt,
                                     std::string_view initialText) override;
  std::optional<std::string> openFile(std::string_view filter) override;
  std::optional<std::string> saveFile(std::string_view filter,
                                      std::string_view defaultSuffix) override;
  std::optional<std::string> chooseFolder(std::string_view title) override;
  void setBusy(bool busy) override;

 private:
  QPointer<QWidget> parent_;
  int busyDepth_ = 0;
  QList<QPointer<QMessageBox>> openQuestions_;
  // Receives the answers: none reaches a continuation once this object is gone.
  QObject answers_;
};

// "Desc(*.aex)|*.aex|All Files(*.*)|*.*" in Qt's form: "Desc(*.aex);;All Files(*.*)".
QString QtFilter(std::string_view filter);

}  // namespace kdsp::app
