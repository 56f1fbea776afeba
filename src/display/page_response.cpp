// SPDX-License-Identifier: GPL-3.0-or-later
// Summing a page's response.
#include "display/page_response.h"

namespace kdsp::display {
namespace {

// Hands each designed record of the page that the chart's red line includes to visit, as a span
// of sections: the crossover filters first, then the bands that are switched on.
template <class Visit>
void VisitPageSections(const settings::ParameterBlock& block, const settings::PageParameters& page,
                       bool secondSet, Visit visit) {
  for (int filter : {page.highPass, page.lowPass})
    if (filter != settings::kNoRecord) visit(designCrossover(block.filters[filter]).view());
  const int first = settings::FirstBand(page, secondSet);
  for (int i = 0; i < page.bandCount; ++i) {
    const settings::EqBand& band = block.bands[first + i];
    if (band.on != 1) continue;
    const BiquadSection section = designEqBand(band);
    visit(std::span<const BiquadSection>(&section, 1));
  }
}

}  // namespace

ChartResponse PageResponse(const settings::ParameterBlock& block,
                           const settings::PageParameters& page, bool secondSet) {
  ChartResponse sum;
  VisitPageSections(block, page, secondSet,
                    [&](std::span<const BiquadSection> sections) { addSections(sections, sum); });
  return sum;
}

std::vector<BiquadSection> PageSections(const settings::ParameterBlock& block,
                                        const settings::PageParameters& page, bool secondSet) {
  std::vector<BiquadSection> all;
  VisitPageSections(block, page, secondSet, [&](std::span<const BiquadSection> sections) {
    all.insert(all.end(), sections.begin(), sections.end());
  });
  return all;
}

}  // namespace kdsp::display
