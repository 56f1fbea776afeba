// SPDX-License-Identifier: GPL-3.0-or-later
// What the skin prints on the page backgrounds, measured as the generator prints it: legible
// type, one size of section title, the parametric EQ's title on every page, and frames and knob
// legends that stay inside their page and clear of the controls.
#include <gtest/gtest.h>

#include <QRectF>
#include <algorithm>
#include <string>
#include <vector>

#include "page_print_layout.h"
#include "panel_drawing.h"
#include "panel_style.h"
#include "settings/page_catalogue.h"
#include "skin/main_window_layout.h"
#include "skin/page_layouts.h"

namespace kdsp::skingen {
namespace {

namespace page_layout = skin::page_layout;

std::string Name(const PageLayout& page) {
  return std::string(settings::Page(page.id).title);
}

QRectF PageRect(const PageLayout& page) {
  return QRectF(0, 0, page_layout::PageSize(page).w, page_layout::PageSize(page).h);
}

std::vector<QRectF> ControlRects(const PageLayout& page) {
  std::vector<QRectF> out;
  page_layout::ForEachControl(page, [&](page_layout::ControlKind, int, const skin::LayoutRect& r) {
    out.push_back(QRectF(ToQRect(r)));
  });
  return out;
}

TEST(SkinPrint, EveryTextStyleIsLegible) {
  const struct {
    const char* name;
    const TextStyle& style;
  } styles[] = {{"page title", text::kPageTitle}, {"section title", text::kSectionTitle},
                {"caption", text::kCaption},      {"small caption", text::kSmallCaption},
                {"scale", text::kScale},          {"knob legend", text::kScaleBold}};
  for (const auto& s : styles) EXPECT_GE(s.style.pixels, kLegibleMinimumPixels) << s.name;
}

TEST(SkinPrint, EveryPageTitlesItsParametricEqFirst) {
  for (const PageLayout* page : page_layout::kPageLayouts) {
    ASSERT_FALSE(page->eqX.empty()) << Name(*page);
    const std::vector<SectionFrame> frames = PageFrames(*page);
    ASSERT_FALSE(frames.empty()) << Name(*page);
    EXPECT_EQ(frames.front().title, ToQString(kStripsTitle)) << Name(*page);
  }
}

// Titles are never shrunk to fit: a frame holds its title in the one section title style.
TEST(SkinPrint, EverySectionTitleFitsItsFrameAtTheOneSize) {
  for (const PageLayout* page : page_layout::kPageLayouts)
    for (const SectionFrame& f : PageFrames(*page))
      if (!f.title.isEmpty()) {
        EXPECT_TRUE(SectionTitleFits(f.rect, f.title))
            << Name(*page) << ": " << f.title.toStdString();
      }
  for (const skin::main_layout::SectionFrame& s : skin::main_layout::kSectionFrames)
    EXPECT_TRUE(SectionTitleFits(QRectF(ToQRect(s.frame)), ToQString(s.title))) << s.title;
}

TEST(SkinPrint, FramesStayInsideTheirPageAndApart) {
  for (const PageLayout* page : page_layout::kPageLayouts) {
    const std::vector<SectionFrame> frames = PageFrames(*page);
    for (std::size_t i = 0; i < frames.size(); ++i) {
      const std::string what =
          Name(*page) + " frame " + std::to_string(i) + " " + frames[i].title.toStdString();
      // The strips' frame runs on under the chart screen, which covers its bottom.
      QRectF shown = frames[i].rect;
      if (i == 0) shown.setBottom(std::min(shown.bottom(), double(page->chart.y)));
      EXPECT_TRUE(PageRect(*page).contains(shown)) << what;
      for (std::size_t j = i + 1; j < frames.size(); ++j)
        EXPECT_FALSE(frames[i].rect.intersects(frames[j].rect)) << what << " and frame " << j;
    }
  }
  const QRectF window(0, 0, skin::main_layout::kMainWindowSize.w,
                      skin::main_layout::kMainWindowSize.h);
  for (const skin::main_layout::SectionFrame& s : skin::main_layout::kSectionFrames)
    EXPECT_TRUE(window.contains(QRectF(ToQRect(s.frame)))) << s.title;
}

TEST(SkinPrint, SectionTitlesClearTheControlsAndTheButtonBank) {
  for (const PageLayout* page : page_layout::kPageLayouts) {
    std::vector<QRectF> taken = ControlRects(*page);
    taken.push_back(ButtonBank(*page));
    for (const SectionFrame& f : PageFrames(*page)) {
      if (f.title.isEmpty()) continue;
      const QRectF title = SectionTitleBox(f.rect, f.title);
      for (const QRectF& r : taken)
        EXPECT_FALSE(title.intersects(r)) << Name(*page) << ": " << f.title.toStdString();
    }
  }
}

// A knob's legends and caption stay on its page, inside the frame of its filter, and off the
// other controls.
TEST(SkinPrint, KnobLegendsStayInsideTheirFrameAndClearOfControls) {
  for (const PageLayout* page : page_layout::kPageLayouts) {
    const std::vector<SectionFrame> frames = PageFrames(*page);
    const std::vector<QRectF> controls = ControlRects(*page);
    for (const PageKnob& k : page->knobs) {
      if (k.role == page_layout::KnobRole::kMicEqMode) continue;
      const QRectF knob(ToQRect(page_layout::KnobRect(k)));
      for (const QRectF& text : KnobTexts(k)) {
        const std::string what = Name(*page) + " knob at " + std::to_string(k.at.x) + ", text at " +
                                 std::to_string(int(text.x()));
        EXPECT_TRUE(PageRect(*page).contains(text)) << what;
        bool framed = false;
        for (const SectionFrame& f : frames) framed = framed || f.rect.contains(text);
        EXPECT_TRUE(framed) << what;
        for (const QRectF& c : controls)
          if (c != knob) {
            EXPECT_FALSE(text.intersects(c)) << what;
          }
      }
    }
  }
}

}  // namespace
}  // namespace kdsp::skingen
