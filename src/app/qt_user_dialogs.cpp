// SPDX-License-Identifier: GPL-3.0-or-later
// The program's standard dialogs.
#include "app/qt_user_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <string>
#include <utility>

#include "app/composed_messages.h"
#include "core/translatable.h"

namespace kdsp::app {
namespace {

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The working parts give their texts in English; the user reads them in the program's language,
// composed messages with their file names and numbers filled into the translated pattern.
QString Translated(std::string_view text) {
  return Text(TranslateComposed(text, MessagePatterns(), [](std::string_view english) {
    return QCoreApplication::translate(core::kMessageContext, std::string(english).c_str())
        .toStdString();
  }));
}

std::optional<std::string> Chosen(const QString& path) {
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

}  // namespace

QString QtFilter(std::string_view filter) {
  const QStringList parts = Translated(filter).split('|');
  QStringList entries;
  for (qsizetype i = 0; i < parts.size(); i += 2) entries << parts[i];
  return entries.join(";;");
}

void QtUserDialogs::showMessage(std::string_view text) {
  QMessageBox::information(owner(), QApplication::applicationDisplayName(), Translated(text));
}

QWidget* QtUserDialogs::owner() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return parent_;
}

QtUserDialogs::~QtUserDialogs() {
  for (const QPointer<QMessageBox>& box : openQuestions_) {
    if (box.isNull()) continue;
    box->disconnect(&answers_);
    delete box.data();
  }
}

bool QtUserDialogs::askYesNo(std::string_view caption, std::string_view question) {
  return QMessageBox::question(owner(), Translated(caption), Translated(question),
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void QtUserDialogs::askYesNoAsync(std::string_view caption, std::string_view question,
                                  std::function<void(bool yes)> answered) {
  // What QMessageBox::question shows, without the event loop of exec(): whoever asked goes on
  // at once, timers included, and hears the answer when it is given.
  auto* box = new QMessageBox(QMessageBox::Question, Translated(caption), Translated(question),
                              QMessageBox::Yes | QMessageBox::No, owner());
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::ApplicationModal);
  QObject::connect(box, &QMessageBox::finished, &answers_,
                   [box, answered = std::move(answered)](int) mutable {
                     if (!answered) return;
                     const auto once = std::exchange(answered, nullptr);
                     once(box->standardButton(box->clickedButton()) == QMessageBox::Yes);
                   });
  openQuestions_.removeIf([](const QPointer<QMessageBox>& open) { return open.isNull(); });
  openQuestions_.append(box);
  box->show();
}

std::optional<std::string> QtUserDialogs::askText(std::string_view caption, std::string_view prompt,
                                                  std::string_view initialText) {
  bool ok = false;
  const QString answer = QInputDialog::getText(owner(), Translated(caption), Translated(prompt),
                                               QLineEdit::Normal, Text(initialText), &ok);
  if (!ok) return std::nullopt;
  return answer.toStdString();
}

std::optional<std::string> QtUserDialogs::openFile(std::string_view filter) {
  return Chosen(QFileDialog::getOpenFileName(owner(), QString(), QString(), QtFilter(filter)));
}

std::optional<std::string> QtUserDialogs::saveFile(std::string_view filter,
                                                   std::string_view defaultSuffix) {
  QFileDialog dialog(owner(), QString(), QString(), QtFilter(filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(Text(defaultSuffix));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return Chosen(dialog.selectedFiles().front());
}

std::optional<std::string> QtUserDialogs::chooseFolder(std::string_view title) {
  return Chosen(QFileDialog::getExistingDirectory(owner(), Translated(title)));
}

void QtUserDialogs::setBusy(bool busy) {
  if (busy) {
    if (busyDepth_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (busyDepth_ > 0 && --busyDepth_ == 0) {
    QApplication::restoreOverrideCursor();
  }
}

}  // namespace kdsp::app
