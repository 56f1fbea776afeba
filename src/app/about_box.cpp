// SPDX-License-Identifier: GPL-3.0-or-later
// The About box.
#include "app/about_box.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>

#include "core/program_version.h"

namespace kdsp::app {

QString AboutCaption() {
  return QCoreApplication::translate("AboutBox", "About Karaoke DSP Control");
}

QString AboutText() {
  const QString version = QString::fromLatin1(core::kProgramVersion.data(),
                                              static_cast<qsizetype>(core::kProgramVersion.size()));
  const auto paragraph = [](const QString& text) { return "<p>" + text + "</p>"; };
  return paragraph(QCoreApplication::translate("AboutBox", "<b>Karaoke DSP Control</b> %1")
                       .arg(version)) +
         paragraph(QCoreApplication::translate(
             "AboutBox",
             "Runs a karaoke effects processor from the PC, over USB or through its WiFi "
             "module.")) +
         paragraph(QCoreApplication::translate(
             "AboutBox", "Copyright © 2026 the Karaoke DSP Control developers.")) +
         paragraph(QCoreApplication::translate(
             "AboutBox",
             "This program is free software: you can redistribute it and/or modify it under "
             "the terms of the GNU General Public License as published by the Free Software "
             "Foundation, either version 3 of the License, or (at your option) any later "
             "version. It comes with ABSOLUTELY NO WARRANTY.")) +
         paragraph(QCoreApplication::translate("AboutBox", "Built with Qt %1, running on Qt %2.")
                       .arg(QString::fromLatin1(QT_VERSION_STR), QString::fromLatin1(qVersion())));
}

QMessageBox* ShowAboutBox(QWidget* parent) {
  auto* box = new QMessageBox(parent);
  box->setObjectName("aboutBox");
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowTitle(AboutCaption());
  box->setTextFormat(Qt::RichText);
  box->setText(AboutText());
  const QIcon icon = QApplication::windowIcon();
  if (!icon.isNull()) box->setIconPixmap(icon.pixmap(64, 64));
  box->setStandardButtons(QMessageBox::Ok);
  box->open();
  return box;
}

}  // namespace kdsp::app
