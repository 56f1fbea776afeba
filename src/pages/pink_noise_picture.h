// SPDX-License-Identifier: GPL-3.0-or-later
// The picture behind the pink-noise test's check boxes: the processor's eight outputs as
// speakers in a room, each with a white box where its check box sits.
#pragma once

#include <QImage>
#include <QRectF>
#include <QtGlobal>
#include <array>
#include <string_view>

#include "skin/skin_geometry.h"

class QPainter;

namespace kdsp::pages {

enum class SpeakerKind { kTower, kCenter, kSubwoofer };

// One output, in output order (bit 0 of the pink-noise mask first): its name on the picture,
// where its check box sits and what kind of speaker stands for it.
struct PinkNoiseOutput {
  std::string_view name;
  skin::LayoutPoint box;
  SpeakerKind kind;
};

inline constexpr skin::LayoutSize kPinkNoisePictureSize{450, 500};
inline constexpr skin::LayoutSize kPinkNoiseBoxSize{25, 25};

inline constexpr std::array<PinkNoiseOutput, 8> kPinkNoiseOutputs = {{
    {QT_TRANSLATE_NOOP("Dialogs", "Main L"), {80, 96}, SpeakerKind::kTower},
    {QT_TRANSLATE_NOOP("Dialogs", "Main R"), {352, 96}, SpeakerKind::kTower},
    {QT_TRANSLATE_NOOP("Dialogs", "Center"), {219, 120}, SpeakerKind::kCenter},
    {QT_TRANSLATE_NOOP("Dialogs", "Subwoofer"), {288, 8}, SpeakerKind::kSubwoofer},
    {QT_TRANSLATE_NOOP("Dialogs", "Surround L"), {40, 272}, SpeakerKind::kTower},
    {QT_TRANSLATE_NOOP("Dialogs", "Surround R"), {392, 272}, SpeakerKind::kTower},
    {QT_TRANSLATE_NOOP("Dialogs", "Back L"), {75, 418}, SpeakerKind::kTower},
    {QT_TRANSLATE_NOOP("Dialogs", "Back R"), {352, 416}, SpeakerKind::kTower},
}};

// Paints the picture at kPinkNoisePictureSize.
QImage PinkNoisePicture();

// One output's box: white while the output is off, lit with a tick while it plays. The picture
// and the check boxes over it paint it alike. hot: the pointer is over it or it has the focus.
void PaintPinkNoiseBox(QPainter& painter, const QRectF& rect, bool on, bool hot);

}  // namespace kdsp::pages
