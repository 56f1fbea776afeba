// Messages, questions, input boxes and file dialogs as the program shows them: Qt's standard
// dialogs over the main window.
#pragma once

#include <QPointer>
#include <QWidget>

#include "settings/user_dialogs.h"

namespace kdsp::app {

class QtUserDialogs : public settings::UserDialogs {
 public:
  void setParent(QWidget* parent) { parent_ = parent; }

  void showMessage(std::string_view text) override;
  bool askYesNo(std::string_view caption, std::string_view question) override;
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
};

// "Desc(*.aex)|*.aex|All Files(*.*)|*.*" in Qt's form: "Desc(*.aex);;All Files(*.*)".
QString QtFilter(std::string_view filter);

}  // namespace kdsp::app
