// SPDX-License-Identifier: GPL-3.0-or-later
// Where a device command's output goes. With one processor it is printed as it comes, the data on
// stdout and the rest on stderr; with several, each processor's lines are kept until it is done,
// so they can be printed together under its name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kdsp::tools {

class CommandOutput {
 public:
  virtual ~CommandOutput() = default;
  // What the command was asked for (info's fields, get's values); may hold several lines.
  virtual void data(std::string_view text) = 0;
  // How far the command has come ("[3/9] reading slot 2 (2)").
  virtual void progress(std::string_view line) = 0;
  // Something the user should know besides the result: the link's own messages, warnings.
  virtual void message(std::string_view line) = 0;
  // What the command achieved, once it has ("slot 3 (3) written to x.aex").
  virtual void done(std::string_view line) = 0;
};

// Prints at once: data on stdout, messages as "kdspctl: TEXT" and the rest on stderr.
class ConsoleOutput : public CommandOutput {
 public:
  void data(std::string_view text) override;
  void progress(std::string_view line) override;
  void message(std::string_view line) override;
  void done(std::string_view line) override;
};

// Keeps everything but the progress for printing later.
class CollectedOutput : public CommandOutput {
 public:
  void data(std::string_view text) override;
  void progress(std::string_view) override {}
  void message(std::string_view line) override;
  void done(std::string_view line) override;

  // The data, one entry a line.
  const std::vector<std::string>& dataLines() const { return data_; }
  const std::vector<std::string>& messages() const { return messages_; }
  // The last result told with done(); empty when none was.
  const std::string& result() const { return result_; }

 private:
  std::vector<std::string> data_;
  std::vector<std::string> messages_;
  std::string result_;
};

// The lines of text, without their line ends; a last line without an end counts too.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace kdsp::tools
