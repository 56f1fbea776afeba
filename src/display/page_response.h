// SPDX-License-Identifier: GPL-3.0-or-later
// The summed response a page's chart draws as its red line: the page's high-pass and low-pass
// filters and every band that is switched on.
#pragma once

#include <vector>

#include "display/response_curve.h"
#include "settings/page_catalogue.h"
#include "settings/parameter_block.h"

namespace kdsp::display {

// secondSet picks the Mic Equalizer's second band set (48..62); other pages have only one.
ChartResponse PageResponse(const settings::ParameterBlock& block,
                           const settings::PageParameters& page, bool secondSet = false);

// The sections behind the same sum, for evaluating it with responseDb at frequencies of the
// caller's choosing.
std::vector<BiquadSection> PageSections(const settings::ParameterBlock& block,
                                        const settings::PageParameters& page,
                                        bool secondSet = false);

}  // namespace kdsp::display
