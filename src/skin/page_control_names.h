// SPDX-License-Identifier: GPL-3.0-or-later
// The names a user knows an effect page's controls by: the page's title, then what the panel
// prints for the control. Everything of an EQ strip, and its handle on the chart, is "<page> band
// N"; a fader is "<page> <caption> fader" with its caption as printed under it ("Echo Effect Pre
// Delay L-R fader", "Center Output HPF fader"); a filter's knob is named after the filter's frame
// and its own caption ("Center Output High Pass Slope knob"); a filter's chart handle after the
// filter's fader ("Echo Effect Echo LPF").
#pragma once

#include <string>

#include "skin/page_layouts.h"

namespace kdsp::skin {

// The page's title as the catalogue spells it: "Mic Equalizer".
std::string PageTitle(const page_layout::PageLayout& page);
// Strip 0 is band 1.
std::string PageBandName(const page_layout::PageLayout& page, int strip);
// By row of the page's tables; a fader's value box goes by the fader's name.
std::string PageFaderName(const page_layout::PageLayout& page, int fader);
std::string PageKnobName(const page_layout::PageLayout& page, int knob);
std::string PagePolarityName(const page_layout::PageLayout& page, int row);
std::string PageEqPassName(const page_layout::PageLayout& page);
// The high-pass or low-pass filter's chart handle; empty on a page without that filter.
std::string PageFilterName(const page_layout::PageLayout& page, page_layout::FaderRole filter);

}  // namespace kdsp::skin
