// SPDX-License-Identifier: GPL-3.0-or-later
// A line diff for test failures: lines the expected text has and the actual one lacks ("-"),
// lines the actual one adds ("+"), with a few unchanged lines around each change, so a failure
// shows where two long texts part rather than only that they do.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

namespace kdsp::testing {

// Empty when the two are equal; otherwise hunks headed "@@ -E +A @@" with the 1-based numbers
// of their first lines in either text.
inline std::string LineDiff(const std::vector<std::string>& expected,
                            const std::vector<std::string>& actual, std::size_t context = 2) {
  const std::size_t n = expected.size(), m = actual.size();
  // common[i][j]: the longest common subsequence of expected[i..] and actual[j..].
  std::vector<std::vector<std::size_t>> common(n + 1, std::vector<std::size_t>(m + 1, 0));
  for (std::size_t i = n; i-- > 0;)
    for (std::size_t j = m; j-- > 0;)
      common[i][j] = expected[i] == actual[j] ? common[i + 1][j + 1] + 1
                                              : std::max(common[i + 1][j], common[i][j + 1]);

  struct Step {
    char kind;         // ' ', '-' or '+'
    std::size_t e, a;  // the lines of either text at this step
  };
  std::vector<Step> steps;
  std::size_t i = 0, j = 0;
  while (i < n || j < m) {
    if (i < n && j < m && expected[i] == actual[j]) {
      steps.push_back({' ', i++, j++});
    } else if (i < n && (j == m || common[i + 1][j] >= common[i][j + 1])) {
      steps.push_back({'-', i++, j});
    } else {
      steps.push_back({'+', i, j++});
    }
  }

  // A step is shown when a change lies within `context` steps of it.
  std::vector<bool> shown(steps.size(), false);
  for (std::size_t k = 0; k < steps.size(); ++k) {
    if (steps[k].kind == ' ') continue;
    const std::size_t from = k >= context ? k - context : 0;
    const std::size_t to = std::min(steps.size(), k + context + 1);
    std::fill(shown.begin() + static_cast<std::ptrdiff_t>(from),
              shown.begin() + static_cast<std::ptrdiff_t>(to), true);
  }
  std::string diff;
  for (std::size_t k = 0; k < steps.size(); ++k) {
    if (!shown[k]) continue;
    if (k == 0 || !shown[k - 1])
      diff +=
          "@@ -" + std::to_string(steps[k].e + 1) + " +" + std::to_string(steps[k].a + 1) + " @@\n";
    const Step& s = steps[k];
    diff += s.kind;
    diff += ' ';
    diff += s.kind == '+' ? actual[s.a] : expected[s.e];
    diff += '\n';
  }
  return diff;
}

}  // namespace kdsp::testing
