// SPDX-License-Identifier: GPL-3.0-or-later
// The phone remote page's texts and their translations.
#include "remote/web/page_texts.h"

#include <QCoreApplication>
#include <QString>
#include <array>

namespace kdsp::web {
namespace {

constexpr std::array kTexts{
    // index.html
    QT_TRANSLATE_NOOP("RemotePage", "Karaoke DSP Remote"),
    QT_TRANSLATE_NOOP("RemotePage", "Karaoke DSP"),
    QT_TRANSLATE_NOOP("RemotePage", "Starting…"),
    QT_TRANSLATE_NOOP("RemotePage", "Pair this phone"),
    QT_TRANSLATE_NOOP("RemotePage", "Enter the six-digit code shown in the program's main window."),
    QT_TRANSLATE_NOOP("RemotePage", "Pairing code"),
    QT_TRANSLATE_NOOP("RemotePage", "Pair"),
    QT_TRANSLATE_NOOP("RemotePage", "Retry now"),
    QT_TRANSLATE_NOOP("RemotePage", "Settings"),
    QT_TRANSLATE_NOOP("RemotePage", "modified"),
    QT_TRANSLATE_NOOP("RemotePage", "Master"),
    QT_TRANSLATE_NOOP("RemotePage", "Effect levels"),
    QT_TRANSLATE_NOOP("RemotePage", "Music input"),
    QT_TRANSLATE_NOOP("RemotePage", "Outputs"),
    QT_TRANSLATE_NOOP("RemotePage", "Presets"),
    QT_TRANSLATE_NOOP("RemotePage", "Tap a preset, then tap again to recall it."),
    QT_TRANSLATE_NOOP("RemotePage", "Forget this pairing"),
    // remote.js: the controls
    QT_TRANSLATE_NOOP("RemotePage", "Music"),
    QT_TRANSLATE_NOOP("RemotePage", "Mic"),
    QT_TRANSLATE_NOOP("RemotePage", "Effect"),
    QT_TRANSLATE_NOOP("RemotePage", "Echo"),
    QT_TRANSLATE_NOOP("RemotePage", "Reverb"),
    QT_TRANSLATE_NOOP("RemotePage", "Main L"),
    QT_TRANSLATE_NOOP("RemotePage", "Main R"),
    QT_TRANSLATE_NOOP("RemotePage", "Center"),
    QT_TRANSLATE_NOOP("RemotePage", "Sub"),
    QT_TRANSLATE_NOOP("RemotePage", "Surr L"),
    QT_TRANSLATE_NOOP("RemotePage", "Surr R"),
    QT_TRANSLATE_NOOP("RemotePage", "%1 sound"),
    QT_TRANSLATE_NOOP("RemotePage", "%1 output"),
    QT_TRANSLATE_NOOP("RemotePage", "On"),
    QT_TRANSLATE_NOOP("RemotePage", "Muted"),
    QT_TRANSLATE_NOOP("RemotePage", "Preset %1"),
    QT_TRANSLATE_NOOP("RemotePage", "The program offers no presets."),
    QT_TRANSLATE_NOOP("RemotePage", "Tap again to recall"),
    QT_TRANSLATE_NOOP("RemotePage", "Recalled %1."),
    // remote.js: pairing and the connection
    QT_TRANSLATE_NOOP("RemotePage", "The PC cannot be reached."),
    QT_TRANSLATE_NOOP("RemotePage",
                      "The program no longer knows this phone. Enter the new code to pair again."),
    QT_TRANSLATE_NOOP("RemotePage", "The processor is not connected."),
    QT_TRANSLATE_NOOP("RemotePage", "The processor did not answer."),
    QT_TRANSLATE_NOOP("RemotePage", "The program answered with error %1."),
    QT_TRANSLATE_NOOP("RemotePage", "%1."),  // the end of a sentence of the program's
    QT_TRANSLATE_NOOP("RemotePage", "You can try again now."),
    QT_TRANSLATE_NOOP("RemotePage", "Too many wrong codes. Try again in 1 second."),
    QT_TRANSLATE_NOOP("RemotePage", "Too many wrong codes. Try again in %1 seconds."),
    QT_TRANSLATE_NOOP("RemotePage", "Pairing…"),
    QT_TRANSLATE_NOOP("RemotePage", "The program gave no token."),
    QT_TRANSLATE_NOOP("RemotePage", "Wrong code. Check the code in the program's main window."),
    QT_TRANSLATE_NOOP("RemotePage",
                      "The program made a new code. Enter it to pair this phone again."),
    QT_TRANSLATE_NOOP("RemotePage", "Not paired"),
    QT_TRANSLATE_NOOP("RemotePage", "Processor linked"),
    QT_TRANSLATE_NOOP("RemotePage", "Processor not connected"),
    QT_TRANSLATE_NOOP("RemotePage", "Connecting to the PC…"),
    QT_TRANSLATE_NOOP("RemotePage", "PC not reachable"),
    QT_TRANSLATE_NOOP("RemotePage", "Lost the connection to the PC. Trying again in 1 second."),
    QT_TRANSLATE_NOOP("RemotePage", "Lost the connection to the PC. Trying again in %1 seconds."),
    QT_TRANSLATE_NOOP("RemotePage", "This phone is no longer paired."),
};

}  // namespace

std::span<const char* const> PageTexts() {
  return kTexts;
}

QJsonObject TranslatedPageTexts(const QString& languageTag) {
  QJsonObject texts;
  for (const char* english : kTexts)
    texts.insert(QString::fromUtf8(english), QCoreApplication::translate("RemotePage", english));
  return {{"texts", texts}, {"language", languageTag}};
}

}  // namespace kdsp::web
