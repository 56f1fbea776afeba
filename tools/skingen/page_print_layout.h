// SPDX-License-Identifier: GPL-3.0-or-later
// Where a page background prints what, measured from the page's control table: the scales, the
// side each fader's numbers stand on, the captions, the plate behind the strips' buttons and the
// engraved frames with their titles. The painter and the checks of the skin both read it.
#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <string_view>
#include <vector>

#include "panel_drawing.h"
#include "skin/page_layouts.h"

namespace kdsp::skingen {

using PageLayout = skin::page_layout::PageLayout;
using PageFader = skin::page_layout::PageFader;
using PageKnob = skin::page_layout::PageKnob;

// The title of the EQ strips' frame on every page.
inline constexpr std::string_view kStripsTitle = "PARAMETRIC EQ";

// Scales.
std::vector<ScaleMark> EqGainMarks();
std::vector<ScaleMark> FaderMarks(const PageFader& f);
std::vector<ScaleMark> KnobMarks(const PageKnob& k);
FaderGeometry Geometry(const PageLayout& page, const PageFader& f);
FaderGeometry EqGeometry(const PageLayout& page, int strip);

// Knob captions and the room a knob's dial and legends take.
QString KnobCaption(const PageKnob& k);
QPointF KnobCaptionAnchor(const PageKnob& k);
QRectF KnobExtent(const PageKnob& k);
// Each printed text of a knob: the legends of its positions, then its caption.
std::vector<QRectF> KnobTexts(const PageKnob& k);

// The caption under a fader, on two lines when it would run into its neighbours.
QStringList CaptionLines(const PageLayout& page, int index);
QPointF CaptionAnchor(const PageLayout& page, const PageFader& f, int line);
// The side of its slot a fader's numbers stand on: right, unless that runs into something.
Side LabelSide(const PageLayout& page, int index);

// The recessed plate behind the strips' columns of small buttons.
QRectF ButtonBank(const PageLayout& page);

// An engraved frame: the EQ strips' frame first (open at the bottom, where the chart screen
// takes over), then one per run of faders of one group. A frame without a title is a lone
// fader's, which its caption names.
struct SectionFrame {
  QString title;
  QRectF rect;
};
std::vector<SectionFrame> PageFrames(const PageLayout& page);

}  // namespace kdsp::skingen
