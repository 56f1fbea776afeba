// SPDX-License-Identifier: GPL-3.0-or-later
// What the settings commands ask of the user beyond messages and questions: file and folder
// choices. The program answers through its standard dialogs; tests answer through a script.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/translatable.h"
#include "core/user_prompts.h"

namespace kdsp::settings {

class UserDialogs : public core::UserPrompts {
 public:
  // Filters are written "Description(*.ext)|*.ext|…" as the setting and group files use them.
  // Nothing when the user cancels.
  virtual std::optional<std::string> openFile(std::string_view filter) = 0;
  // A name typed without an extension gets defaultSuffix.
  virtual std::optional<std::string> saveFile(std::string_view filter,
                                              std::string_view defaultSuffix) = 0;
  virtual std::optional<std::string> chooseFolder(std::string_view title) = 0;
  // The wait cursor while a long transfer runs.
  virtual void setBusy(bool busy) = 0;
};

// The file dialogs' filters.
namespace filter {
inline constexpr std::string_view kOpenSetting =
    KDSP_TRANSLATE_NOOP("Messages", "Audio Setting(*.aex)|*.aex|All Files(*.*)|*.*");
inline constexpr std::string_view kSaveSetting =
    KDSP_TRANSLATE_NOOP("Messages", "Audio Setting(*.aex)|*.aex");
inline constexpr std::string_view kOpenGroup =
    KDSP_TRANSLATE_NOOP("Messages", "Audio Config(*.set)|*.set|All Files(*.*)|*.*");
inline constexpr std::string_view kSaveGroup =
    KDSP_TRANSLATE_NOOP("Messages", "Audio Setting(*.set)|*.set");
inline constexpr std::string_view kSettingSuffix = "aex";
inline constexpr std::string_view kOpenFilterText =
    KDSP_TRANSLATE_NOOP("Messages", "Filter Settings(*.txt)|*.txt|All Files(*.*)|*.*");
inline constexpr std::string_view kSaveFilterText =
    KDSP_TRANSLATE_NOOP("Messages", "Filter Settings(*.txt)|*.txt");
inline constexpr std::string_view kFilterTextSuffix = "txt";
inline constexpr std::string_view kSaveResponse =
    KDSP_TRANSLATE_NOOP("Messages", "Response(*.csv)|*.csv");
inline constexpr std::string_view kResponseSuffix = "csv";
inline constexpr std::string_view kSavePicture =
    KDSP_TRANSLATE_NOOP("Messages", "Picture(*.png)|*.png");
inline constexpr std::string_view kPictureSuffix = "png";
}  // namespace filter

}  // namespace kdsp::settings
