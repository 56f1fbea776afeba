// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a page's response as comma-separated text.
#include "display/response_csv.h"

#include "display/filter_fit.h"
#include "display/page_response.h"

namespace kdsp::display {

std::string PageResponseCsv(const settings::ParameterBlock& block,
                            const settings::PageParameters& page, bool secondSet) {
  const std::vector<BiquadSection> sections = PageSections(block, page, secondSet);
  std::string text = "Frequency (Hz),Response (dB)\n";
  for (float hz : DeviationFrequencies())
    text +=
        settings::FixedText(hz, 2) + "," + settings::FixedText(responseDb(sections, hz), 3) + "\n";
  return text;
}

}  // namespace kdsp::display
