// SPDX-License-Identifier: GPL-3.0-or-later
// Texts the working parts compose from a pattern and values ("Can't write %1: %2", "Recall %1"),
// shown in the user's language: the pattern is found again, translated, and filled in with the
// values, each of which may itself be a text or a composed text of its own.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace kdsp::app {

// A pattern and the one placeholder, if any, whose value is itself a text to translate (a
// reason, a fault); the other values (paths, numbers, a line quoted from a file) stay as given.
struct ComposedPattern {
  std::string_view pattern;
  int textValue = 0;  // 1 for %1, …; 0 for none
};

// The patterns of one kind of text, most particular first: a text is read as the first pattern
// it fits. Messages and step names are kept apart, so that neither is read as the other.
using Patterns = std::span<const ComposedPattern>;
// The messages of message boxes and questions.
Patterns MessagePatterns();
// The names of the edit history's steps in the Undo and Redo items.
Patterns StepNamePatterns();

// A fixed text's translation, or the text itself when there is none.
using TextLookup = std::function<std::string(std::string_view english)>;

// The text as the user reads it: a fixed text as lookup translates it; a composed one with its
// pattern and its text value translated (a value never runs over a line end, unless the pattern
// has one); one of several lines line by line; anything else (a file name, a number) as it is.
std::string TranslateComposed(std::string_view english, Patterns patterns,
                              const TextLookup& lookup);

}  // namespace kdsp::app
