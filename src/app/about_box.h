// SPDX-License-Identifier: GPL-3.0-or-later
// The About box of the Presets menu: the program's name and version, what it does, and the
// licence it comes under.
#pragma once

#include <QString>

class QMessageBox;
class QWidget;

namespace kdsp::app {

// The box's caption and its text (rich text), in the user's language.
QString AboutCaption();
QString AboutText();

// Shows the box over parent without blocking; it closes and deletes itself.
QMessageBox* ShowAboutBox(QWidget* parent);

}  // namespace kdsp::app
