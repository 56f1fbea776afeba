// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures of the push buttons, toggle buttons and value-box windows of the skin.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>

namespace kdsp::skingen {

// Main window page button: raised at rest, pushed in (its symbol lit) while held.
QImage PageButtonPicture(bool pressed, int scale);
// Output switch: a speaker symbol, lit green while the output plays.
QImage SpeakerPicture(bool on, int scale);
// Mix mute button (and the Mic Equalizer's polarity switches): a lens lit green when on.
QImage MutePicture(bool on, int scale);
// The small title-bar buttons.
enum class TitleGlyph { kClose, kMinimize };
QImage TitleButtonPicture(TitleGlyph glyph, int scale);
QImage PresetsPicture(bool pressed, int scale);
QImage EqPassPicture(bool pressed, int scale);

// The EQ strip's small buttons: the three filter types and the PASS button.
enum class StripGlyph { kNone, kPeak, kLowShelf, kHighShelf };
QImage StripButtonPicture(const QString& label, StripGlyph glyph, bool lit, const QColor& lamp,
                          int scale);

// An inset LCD window of a value box; the active one has a lit edge.
QImage ValueBoxPicture(int width, int height, bool active, int scale);

}  // namespace kdsp::skingen
