// SPDX-License-Identifier: GPL-3.0-or-later
// Building blocks of the three small dialogs: labels, edit boxes and track bars placed at the
// form's client coordinates, and the window's outer size.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <string_view>

class QLabel;
class QLineEdit;
class QSlider;
class QWidget;

namespace kdsp::pages {

// The tables hold their texts as UTF-8.
QString Text(std::string_view utf8);
// A caption of the dialogs, marked QT_TRANSLATE_NOOP("Dialogs", …), in the program's language.
QString DialogText(std::string_view english);

// A label whose top-left corner is at `at`, as wide as its text or as `width` if that is more,
// so later and longer texts still fit.
QLabel* PlaceLabel(QWidget& parent, std::string_view name, QString text, QPoint at, int width = 0);
// A one-line edit box of the usual height.
QLineEdit* PlaceEdit(QWidget& parent, std::string_view name, QPoint at, int width);
// A horizontal track bar from 0 to max with a tick at every step, as the forms draw them.
QSlider* PlaceTrackBar(QWidget& parent, std::string_view name, QRect rect, int max);

// Sizes the client area now and again whenever the window manager reports different frame
// margins, so that frame and client add up to outer; where the platform reports no frame the
// client area takes the whole outer size. A size the user drags afterwards is left alone until
// the margins change again.
void KeepOuterSize(QWidget& window, QSize outer);

}  // namespace kdsp::pages
