// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the frequency grid: step frequencies, the step search and the four-character labels.
#include "settings/frequency_grid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace kdsp::settings {
namespace {

TEST(GridFrequency, TellingPoints) {
  struct Row {
    int step;
    float hz;
    float tolerance;
  };
  const Row rows[] = {
      {0, 20.069f, 0.0005f},  {1, 20.459f, 0.0005f},  {100, 137.632f, 0.0005f},
      {202, 980.93f, 0.005f}, {322, 9887.16f, 0.01f}, {323, 10079.37f, 0.01f},
      {358, 19774.3f, 0.05f},
  };
  for (const Row& r : rows) EXPECT_NEAR(gridFrequency(r.step), r.hz, r.tolerance) << r.step;
  EXPECT_EQ(gridFrequency(203), 1000.0f);
  EXPECT_EQ(gridFrequency(275), 4000.0f);
}

TEST(GridFrequency, TopStepAndBeyondReadTheProcessorsTopFrequency) {
  // The formula would give 20158.7 Hz for the top step.
  for (int step : {359, 360, 400, 65535}) EXPECT_EQ(gridFrequency(step), 22159.0f) << step;
}

TEST(GridFrequency, ThirtySixStepsPerOctaveAndRising) {
  for (int step = 0; step + 36 <= 358; ++step) {
    EXPECT_NEAR(gridFrequency(step + 36) / gridFrequency(step), 2.0f, 1e-5f) << step;
  }
  for (int step = 1; step < kGridSteps; ++step) {
    EXPECT_GT(gridFrequency(step), gridFrequency(step - 1)) << step;
  }
}

TEST(StepOmega, IsTheStepFrequencyAtTheProcessingRate) {
  EXPECT_EQ(stepOmega(203), static_cast<float>(1000.0 * 6.283185307179586 / 48000.0));
  EXPECT_NEAR(stepOmega(359), 22159.0 * 6.283185307179586 / 48000.0, 1e-6);
}

TEST(GridStepAtOrAbove, TellingValues) {
  struct Row {
    float hz;
    int step;
  };
  const Row rows[] = {
      {20.0f, 0},     {1000.0f, 203}, {30000.0f, 359}, {0.0f, 0},       {-5.0f, 0},
      {980.94f, 203}, {980.92f, 202}, {20000.0f, 359}, {22159.0f, 359}, {19774.0f, 358},
  };
  for (const Row& r : rows) EXPECT_EQ(gridStepAtOrAbove(r.hz), r.step) << r.hz;
  EXPECT_EQ(gridStepAtOrAbove(std::numeric_limits<float>::quiet_NaN()), 359);
  EXPECT_EQ(gridStepAtOrAbove(std::numeric_limits<float>::infinity()), 359);
}

TEST(GridStepAtOrAbove, FindsEveryStepFromItsOwnFrequency) {
  for (int step = 0; step < kGridSteps; ++step) {
    const float hz = gridFrequency(step);
    EXPECT_EQ(gridStepAtOrAbove(hz), step);
    if (step < kGridSteps - 1) {
      EXPECT_EQ(gridStepAtOrAbove(std::nextafter(hz, 1e9f)), step + 1) << step;
    }
  }
}

TEST(FrequencyLabel, Examples) {
  struct Row {
    int step;
    const char* text;
  };
  const Row rows[] = {
      {0, "20.0"},   {1, "20.4"},   {100, " 137"}, {202, " 980"}, {203, "1K00"},
      {275, "4K00"}, {322, "9K89"}, {323, "10K1"}, {358, "19K8"}, {359, "22K2"},
  };
  for (const Row& r : rows) EXPECT_STREQ(frequencyLabel(r.step).c_str(), r.text) << r.step;
}

TEST(FrequencyLabel, EveryLabelIsFourCharactersOfTheRightKind) {
  for (int step : {-1, 400, 65535}) EXPECT_EQ(std::strlen(frequencyLabel(step).c_str()), 4u);
  for (int step = 0; step < kGridSteps; ++step) {
    const FrequencyLabel label = frequencyLabel(step);
    ASSERT_EQ(std::strlen(label.c_str()), 4u) << step;
    EXPECT_EQ(label.view(), std::string(label.c_str()));
    for (char ch : label.view()) {
      EXPECT_TRUE((ch >= '0' && ch <= '9') || ch == ' ' || ch == '.' || ch == 'K')
          << step << " " << label.c_str();
    }
    // Decimal point below 100 Hz, a leading space up to 1 kHz, a K from 1 kHz on.
    const bool hasK = label.view().find('K') != std::string_view::npos;
    EXPECT_EQ(hasK, step >= 203) << step;
  }
}

}  // namespace
}  // namespace kdsp::settings
