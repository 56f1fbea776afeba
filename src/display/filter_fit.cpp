// SPDX-License-Identifier: GPL-3.0-or-later
// Fitting requested filters onto a page's bands and crossover filters, and listing them back.
#include "display/filter_fit.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "core/composed_text.h"
#include "display/filter_fit_messages.h"
#include "display/page_response.h"
#include "settings/file_messages.h"
#include "settings/file_read.h"
#include "settings/file_text.h"
#include "settings/frequency_grid.h"
#include "settings/value_texts.h"

namespace kdsp::display {
namespace {

using settings::FilterKind;
using settings::RequestedFilter;

constexpr int kMinGainTenths = -240;
constexpr int kMaxGainTenths = 120;
constexpr int kLastBandwidth = 59;
constexpr int kLowShelfHighestStep = 275;  // 4 kHz
constexpr int kHighShelfLowestStep = 203;  // 1 kHz
// Half a grid step as a frequency ratio: how far beyond the grid a request may still land on it.
const double kHalfStepRatio = std::pow(2.0, 1.0 / 72.0);

bool isPass(FilterKind kind) {
  return kind == FilterKind::kHighPass || kind == FilterKind::kLowPass;
}

// Any band type but the two shelves designs as a peaking band.
FilterKind kindOfBand(std::uint8_t type) {
  return type == settings::kLowShelf    ? FilterKind::kLowShelf
         : type == settings::kHighShelf ? FilterKind::kHighShelf
                                        : FilterKind::kPeaking;
}

std::uint8_t bandType(FilterKind kind) {
  return kind == FilterKind::kLowShelf    ? settings::kLowShelf
         : kind == FilterKind::kHighShelf ? settings::kHighShelf
                                          : settings::kPeaking;
}

// The cookbook's shelf slope S (1 at 12 dB/octave, the steepest without overshoot) as the Q the
// shelf formula takes at this gain; nullopt when the slope is too steep for the gain.
std::optional<double> shelfQOfSlope(double slopeDbPerOctave, double gainDb) {
  const double a = std::pow(10.0, gainDb / 40.0);
  const double s = slopeDbPerOctave / 12.0;
  const double inverseSquared = (a + 1.0 / a) * (1.0 / s - 1.0) + 2.0;
  if (!(inverseSquared > 0.0)) return std::nullopt;
  return 1.0 / std::sqrt(inverseSquared);
}

double requestedQ(const RequestedFilter& f) {
  if (f.q) return *f.q;
  if (f.slopeDbPerOctave) {
    if (const auto q = shelfQOfSlope(*f.slopeDbPerOctave, f.gainDb)) return *q;
  }
  return settings::kDefaultFilterQ;
}

// The step in [first, last] nearest to hz in log frequency.
int nearestStep(double hz, int first, int last) {
  int best = first;
  double bestDistance = INFINITY;
  for (int step = first; step <= last; ++step) {
    const double distance = std::abs(std::log(hz / settings::gridFrequency(step)));
    if (distance < bestDistance) {
      bestDistance = distance;
      best = step;
    }
  }
  return best;
}

void responseOn(std::span<const BiquadSection> sections, const std::vector<float>& hz,
                std::vector<float>& out) {
  out.resize(hz.size());
  for (std::size_t i = 0; i < hz.size(); ++i) out[i] = responseDb(sections, hz[i]);
}

// NaN as soon as one difference is not a number, so that it cannot pass for no difference.
float largestDifference(const std::vector<float>& a, const std::vector<float>& b) {
  float largest = 0.0f;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const float difference = std::abs(a[i] - b[i]);
    if (std::isnan(difference)) return difference;
    largest = std::max(largest, difference);
  }
  return largest;
}

bool allFinite(const std::vector<float>& values) {
  return std::all_of(values.begin(), values.end(), [](float v) { return std::isfinite(v); });
}

// The refusal of more filters for bands than the page has, with both counts in their plural.
std::string tooManyFilters(std::size_t filters, const settings::PageParameters& page) {
  const std::string_view pattern = filters == 1        ? message::kOneFilterForNoBands
                                   : page.bandCount == 1 ? message::kFiltersForOneBand
                                                         : message::kFiltersForBands;
  return core::FillIn(pattern,
                      {std::to_string(filters), page.title, std::to_string(page.bandCount)});
}

std::string describeAsked(const RequestedFilter& f) {
  std::string text = f.on ? "" : "OFF ";
  text +=
      std::string(settings::FilterKindName(f.kind)) + " " + settings::FixedText(f.hz, 1) + " Hz";
  if (!isPass(f.kind)) text.append(" ").append(settings::FixedText(f.gainDb, 2)).append(" dB");
  if (f.q) text += " Q " + settings::FixedText(*f.q, 3);
  if (f.slopeDbPerOctave)
    text.append(" ").append(settings::FixedText(*f.slopeDbPerOctave, 1)).append(" dB/oct");
  return text;
}

std::string describeBand(const settings::EqBand& band) {
  std::string text = band.on == 1 ? "" : "OFF ";
  text += std::string(settings::FilterKindName(kindOfBand(band.type))) + " " +
          settings::FixedText(settings::gridFrequency(band.frequency), 1) + " Hz " +
          settings::FixedText(band.gain / 10.0, 1) + " dB";
  if (band.type == settings::kPeaking)
    text += " Q " + settings::FixedText(bandwidthQ((band.bandwidth + 1) * 5), 3);
  return text;
}

std::string describeCrossover(const settings::CrossoverFilter& filter) {
  const bool off =
      isLowPass(filter) ? filter.frequency >= settings::kLastStep : filter.frequency == 0;
  if (off) return "OFF";
  return settings::FixedText(settings::gridFrequency(filter.frequency), 1) + " Hz " +
         std::string(settings::kFilterFamilyNames[std::min<int>(filter.family, 2)]) + " " +
         std::to_string(settings::kFilterOrderSlopes[orderIndex(filter.order)]) + " dB/oct";
}

class Fitter {
 public:
  Fitter(const settings::ParameterBlock& block, const settings::PageParameters& page,
         bool secondSet)
      : page_(page),
        firstBand_(settings::FirstBand(page, secondSet)),
        deviationHz_(DeviationFrequencies()),
        asked_(deviationHz_.size(), 0.0f) {
    fit_.block = block;
  }

  FilterFit run(const settings::FilterText& text) {
    const auto forBands = static_cast<std::size_t>(std::count_if(
        text.filters.begin(), text.filters.end(),
        [](const RequestedFilter& f) { return !isPass(f.kind); }));
    if (forBands > static_cast<std::size_t>(page_.bandCount)) {
      fit_.error = tooManyFilters(forBands, page_);
      return refused();
    }
    int bandsUsed = 0;
    for (const RequestedFilter& f : text.filters) {
      FittedFilter fitted;
      fitted.asked = f;
      if (!checkFrequency(f)) return refused();
      if (isPass(f.kind)) {
        if (!fitCrossover(f, fitted)) return refused();
      } else {
        if (!fitBand(f, firstBand_ + bandsUsed, fitted)) return refused();
        ++bandsUsed;
      }
      if (!addAsked(f)) return refused();
      fit_.filters.push_back(std::move(fitted));
    }
    for (const FittedFilter& f : fit_.filters) {
      if (f.band != settings::kNoRecord) fit_.block.bands[f.band] = f.setBand;
      if (f.crossover != settings::kNoRecord) fit_.block.filters[f.crossover] = f.setFilter;
    }
    for (int i = bandsUsed; i < page_.bandCount; ++i) fit_.block.bands[firstBand_ + i].gain = 0;
    addNotes(text);
    fit_.largestDeviationDb = deviation();
    return std::move(fit_);
  }

 private:
  FilterFit refused() {
    FilterFit refusal;
    refusal.error = std::move(fit_.error);
    return refusal;
  }

  bool fail(const RequestedFilter& f, const std::string& what) {
    fit_.error = settings::LineMessage(f.line, f.text, what);
    return false;
  }

  bool checkFrequency(const RequestedFilter& f) {
    const double lowest = settings::gridFrequency(0) / kHalfStepRatio;
    const double highest = settings::gridFrequency(settings::kLastStep) * kHalfStepRatio;
    if (f.hz >= lowest && f.hz <= highest) return true;
    return fail(
        f, core::FillIn(
               message::kFrequencyOutside,
               {settings::FixedText(f.hz, 1), settings::FixedText(settings::gridFrequency(0), 1),
                settings::FixedText(settings::gridFrequency(settings::kLastStep), 0)}));
  }

  // Adds the response the filter asks for to what the page is compared with. A request whose
  // response cannot be evaluated at every point (a Q too small for any number) has nothing to be
  // compared with.
  bool addAsked(const RequestedFilter& f) {
    std::vector<float> response;
    responseOn(RequestedSections(f), deviationHz_, response);
    if (!allFinite(response)) return fail(f, std::string(message::kResponseNotComputable));
    for (std::size_t i = 0; i < asked_.size(); ++i) asked_[i] += response[i];
    return true;
  }

  bool fitBand(const RequestedFilter& f, int index, FittedFilter& fitted) {
    settings::EqBand band = fit_.block.bands[index];
    const long tenths = std::lround(f.gainDb * 10.0);
    if (tenths < kMinGainTenths || tenths > kMaxGainTenths)
      return fail(f, core::FillIn(message::kGainOutside, {settings::FixedText(f.gainDb, 2)}));
    band.gain = static_cast<std::int16_t>(tenths);
    band.frequency = static_cast<std::uint16_t>(nearestStep(f.hz, 0, settings::kLastStep));
    band.type = bandType(f.kind);
    band.on = f.on ? 1 : 0;
    if (f.kind == FilterKind::kPeaking) {
      const double index0 = settings::BandwidthOfQ(*f.q) / 0.05 - 1.0;
      if (!(index0 >= -0.5 && index0 <= kLastBandwidth + 0.5))
        return fail(f, core::FillIn(message::kQOutside,
                                    {settings::FixedText(*f.q, 3),
                                     settings::FixedText(bandwidthQ((kLastBandwidth + 1) * 5), 3),
                                     settings::FixedText(bandwidthQ(5), 2)}));
      band.bandwidth =
          static_cast<std::uint8_t>(std::clamp<long>(std::lround(index0), 0, kLastBandwidth));
    }
    if (f.kind == FilterKind::kLowShelf && band.frequency > kLowShelfHighestStep)
      return fail(f, std::string(message::kLowShelfTooHigh));
    if (f.kind == FilterKind::kHighShelf && band.frequency < kHighShelfLowestStep)
      return fail(f, std::string(message::kHighShelfTooLow));
    if (f.slopeDbPerOctave && !shelfQOfSlope(*f.slopeDbPerOctave, f.gainDb))
      return fail(
          f, core::FillIn(message::kSlopeTooSteep, {settings::FixedText(*f.slopeDbPerOctave, 1)}));
    fitted.band = index;
    fitted.setBand = band;
    return true;
  }

  bool fitCrossover(const RequestedFilter& f, FittedFilter& fitted) {
    const bool lowPass = f.kind == FilterKind::kLowPass;
    const int index = lowPass ? page_.lowPass : page_.highPass;
    const std::string_view name = lowPass ? message::kLowPass : message::kHighPass;
    if (index == settings::kNoRecord)
      return fail(f, core::FillIn(message::kNoPassFilter, {page_.title, name}));
    for (const FittedFilter& earlier : fit_.filters)
      if (earlier.crossover == index)
        return fail(f, core::FillIn(message::kSecondPassFilter, {name}));
    settings::CrossoverFilter filter = fit_.block.filters[index];
    if (!f.on) {
      filter.frequency = static_cast<std::uint16_t>(lowPass ? settings::kLastStep : 0);
    } else {
      // Step 0 switches a high-pass off and the last step a low-pass: a request means a filter.
      filter.frequency =
          static_cast<std::uint16_t>(lowPass ? nearestStep(f.hz, 0, settings::kLastStep - 1)
                                             : nearestStep(f.hz, 1, settings::kLastStep));
      if (index >= settings::kFirstFilterWithShapeKnobs) filter = nearestShape(f, filter);
    }
    fitted.crossover = index;
    fitted.setFilter = filter;
    return true;
  }

  // 12 dB/octave in the family whose response lies nearest the request.
  settings::CrossoverFilter nearestShape(const RequestedFilter& f,
                                         settings::CrossoverFilter filter) {
    std::vector<float> asked;
    std::vector<float> candidate;
    responseOn(RequestedSections(f), deviationHz_, asked);
    settings::CrossoverFilter best = filter;
    float bestDeviation = INFINITY;
    for (std::uint8_t family :
         {settings::kButterworth, settings::kBessel, settings::kLinkwitzRiley}) {
      filter.family = family;
      filter.order = 0;
      responseOn(designCrossover(filter).view(), deviationHz_, candidate);
      const float d = largestDifference(asked, candidate);
      if (d < bestDeviation) {
        bestDeviation = d;
        best = filter;
      }
    }
    return best;
  }

  void addNotes(const settings::FilterText& text) {
    for (const settings::UnreadLine& unread : text.unread)
      fit_.notes.push_back(core::FillIn(message::kLineNotRead,
                                        {std::to_string(unread.line),
                                         settings::PrintableText(unread.text)}));
    if (text.preampDb)
      fit_.notes.push_back(
          core::FillIn(message::kPreampNotApplied,
                       {std::to_string(text.preampLine), settings::FixedText(*text.preampDb, 2)}));
    if (firstBand_ == page_.secondSetFirstBand &&
        (fit_.block.micFlags & settings::kMicSetsLinked) != 0)
      fit_.notes.emplace_back(message::kMicSetsLinked);
  }

  // What was asked includes the page's crossover filters that the text leaves as they are.
  float deviation() {
    std::vector<float> response;
    for (int index : {page_.highPass, page_.lowPass}) {
      if (index == settings::kNoRecord) continue;
      const bool named = std::any_of(fit_.filters.begin(), fit_.filters.end(),
                                     [&](const FittedFilter& f) { return f.crossover == index; });
      if (named) continue;
      responseOn(designCrossover(fit_.block.filters[index]).view(), deviationHz_, response);
      for (std::size_t i = 0; i < asked_.size(); ++i) asked_[i] += response[i];
    }
    responseOn(PageSections(fit_.block, page_, firstBand_ != page_.firstBand), deviationHz_,
               response);
    return largestDifference(asked_, response);
  }

  const settings::PageParameters& page_;
  const int firstBand_;
  const std::vector<float> deviationHz_;
  std::vector<float> asked_;  // the sum of the requests' responses on deviationHz_, in dB
  FilterFit fit_;
};

}  // namespace

std::vector<float> DeviationFrequencies() {
  std::vector<float> hz;
  const double octaves = std::log2(double(kDeviationHighHz) / kDeviationLowHz);
  const int points = static_cast<int>(std::floor(octaves * kDeviationPointsPerOctave));
  for (int i = 0; i <= points; ++i)
    hz.push_back(
        static_cast<float>(kDeviationLowHz * std::pow(2.0, double(i) / kDeviationPointsPerOctave)));
  if (hz.back() < kDeviationHighHz) hz.push_back(kDeviationHighHz);
  return hz;
}

std::vector<BiquadSection> RequestedSections(const RequestedFilter& f) {
  if (!f.on) return {};
  const auto w0 = static_cast<float>(omegaOf(static_cast<float>(f.hz)));
  const auto q = static_cast<float>(requestedQ(f));
  if (isPass(f.kind)) return {designPassSection(f.kind == FilterKind::kLowPass, w0, q)};
  return {designEqSection(bandType(f.kind), w0, static_cast<float>(f.gainDb), q)};
}

FilterFit FitFilters(const settings::ParameterBlock& block, const settings::PageParameters& page,
                     bool secondSet, const settings::FilterText& filters) {
  return Fitter(block, page, secondSet).run(filters);
}

std::vector<std::string> FitReport(const FilterFit& fit) {
  std::vector<std::string> lines;
  for (const FittedFilter& f : fit.filters) {
    const std::string set =
        f.band != settings::kNoRecord
            ? "bands[" + std::to_string(f.band) + "]: " + describeBand(f.setBand)
            : "filters[" + std::to_string(f.crossover) + "] " +
                  (isLowPass(f.setFilter) ? "low-pass: " : "high-pass: ") +
                  describeCrossover(f.setFilter);
    lines.push_back(core::FillIn(message::kReportLine,
                                 {std::to_string(f.asked.line), describeAsked(f.asked), set}));
  }
  lines.insert(lines.end(), fit.notes.begin(), fit.notes.end());
  lines.push_back(
      core::FillIn(message::kLargestDeviation, {settings::FixedText(fit.largestDeviationDb, 2)}));
  return lines;
}

std::vector<RequestedFilter> PageFilters(const settings::ParameterBlock& block,
                                         const settings::PageParameters& page, bool secondSet) {
  const int first = settings::FirstBand(page, secondSet);
  std::vector<RequestedFilter> filters;
  for (int i = 0; i < page.bandCount; ++i) {
    const settings::EqBand& band = block.bands[first + i];
    RequestedFilter f;
    f.on = band.on == 1;
    f.kind = kindOfBand(band.type);
    f.hz = settings::gridFrequency(band.frequency);
    f.gainDb = band.gain / 10.0;
    if (f.kind == FilterKind::kPeaking) f.q = bandwidthQ((band.bandwidth + 1) * 5);
    filters.push_back(std::move(f));
  }
  return filters;
}

std::string ExportFilterText(const settings::ParameterBlock& block,
                             const settings::PageParameters& page, bool secondSet) {
  std::string notes = std::string(page.title);
  if (settings::FirstBand(page, secondSet) != page.firstBand) notes += ", second set";
  return settings::WriteFilterText(PageFilters(block, page, secondSet), notes);
}

FilterFileFit FitFilterFile(const std::filesystem::path& path,
                            const settings::ParameterBlock& block,
                            const settings::PageParameters& page, bool secondSet) {
  const std::string name = path.string();
  const std::optional<std::string> text = settings::ReadFileHead(path, kLongestFilterFile);
  if (!text) return {core::FillIn(settings::message::kCantRead, {name}), {}};
  if (text->size() == kLongestFilterFile)
    return {core::FillIn(message::kFilterFileTooLong, {name}), {}};
  const settings::FilterTextRead read = settings::ReadFilterText(*text);
  if (!read.ok()) return {core::FillIn(message::kFilterFileFault, {name, read.error}), {}};
  // A file without a filter line is no filter list (a measurement, a setting file, a
  // configuration commented out): reading it as an empty one would flatten the page.
  if (read.filters.filterLines == 0) return {core::FillIn(message::kNoFilters, {name}), {}};
  FilterFit fit = FitFilters(block, page, secondSet, read.filters);
  if (!fit.ok()) return {core::FillIn(message::kFilterFileFault, {name, fit.error}), {}};
  return {{}, std::move(fit)};
}

}  // namespace kdsp::display
