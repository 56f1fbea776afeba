// SPDX-License-Identifier: GPL-3.0-or-later
// The program in Simplified Chinese and in English: the Presets menu, the system control panel,
// the three dialogs and a question box speak the language the environment or --lang chose, and
// no translated caption is wider than its box or runs into a neighbour.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/language.h"
#include "app/program.h"
#include "app/qt_user_dialogs.h"
#include "app/system_control_panel.h"
#include "device/virtual_hid_platform.h"
#include "pages/pink_noise_dialog.h"
#include "pages/recording_mix_dialog.h"
#include "pages/reverb_dialog.h"
#include "remote/web/page_texts.h"
#include "settings/settings_origin.h"
#include "sim/simulated_hid_device.h"
#include "skin/dark_theme.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

namespace kdsp::app {
namespace {

using Environment = std::map<std::string, std::string>;

// The language main() chooses: --lang, else the environment.
Language Chosen(const QStringList& arguments, const Environment& environment) {
  const CommandLine line = ParseCommandLine(QStringList{"kdsp"} + arguments);
  return line.language.value_or(LanguageFromEnvironment([&](const char* name) -> const char* {
    const auto found = environment.find(name);
    return found == environment.end() ? nullptr : found->second.c_str();
  }));
}

const Environment kChineseDesktop{{"LANG", "zh_CN.UTF-8"}};
const Environment kPlainDesktop{{"LANG", "C"}};

struct Caption {
  const char* name;
  const char* english;
  const char* chinese;
};

// The Presets menu's items, by their object names.
constexpr Caption kMenuItems[] = {
    {"mSave", "Save", "保存"},
    {"mSaveToFile", "Save To File", "保存到文件"},
    {"mSaveToDev", "Save To Device", "保存到设备"},
    {"mload", "Load", "载入"},
    {"N2", "Load From File", "从文件载入"},
    {"N3", "Load From Device", "从设备载入"},
    {"StartUp2", "START UP", "开机"},
    {"N72", "KARAOKE", "卡拉OK"},
    {"N81", "DISCO", "迪斯科"},
    {"N4", "FACTORY", "出厂"},
    {"mAllSet", "System Control", "系统面板"},
    {"mMeasure", "Measurement Analyser…", "测量分析仪…"},
    {"N7", "Pink Noise Test", "粉噪测试"},
    {"pi1", "Real-Time Spectrum", "实时频谱分析"},
    {"WiFi1", "WiFi Control", "WiFi 控制"},
    {"N8", "Recording Mix", "录音附加调节"},
    {"Rev1", "Rev", "混响"},
    {"mUndo", "Undo", "撤销"},
    {"mRedo", "Redo", "重做"},
    {"mSwitchSide", "Switch to B", "切换到 B"},
    {"mCopyAToB", "Copy A to B", "复制 A 到 B"},
    {"mNewRemoteCode", "New Remote Code", "新的遥控配对码"},
    {"mAbout", "About Karaoke DSP Control", "关于卡拉OK DSP 控制"},
};

constexpr Caption kPanelCaptions[] = {
    {"Button1", "Open Config", "打开配置"},
    {"Button2", "Save Config", "保存配置"},
    {"Button3", "Modify", "修改"},
    {"Button4", "Delete", "删除"},
    {"Button5", "Download All To Device", "全部下载到设备"},
    {"Button6", "Upload All From Device", "从设备全部上传"},
    {"Button7", "Lock Panel", "锁定面板"},
    {"Button8", "Change Password", "修改密码"},
    {"Label1", "Music Max Vol", "音乐最大音量"},
    {"Label2", "Mic Max Vol", "话筒最大音量"},
};

constexpr Caption kRecordingMixCaptions[] = {
    {"Label1", "Music Min", "音乐最小"},      {"Label2", "Music Max", "音乐最大"},
    {"Label3", "Mic Min", "麦克风最小"},      {"Label4", "Mic Max", "麦克风最大"},
    {"Label5", "Effect Min", "效果最小"},     {"Label6", "Effect Max", "效果最大"},
    {"Label7", "Rec Music", "录音音乐音量"},  {"Label8", "Rec Mic", "录音麦克风音量"},
    {"Label9", "Rec Effect", "录音效果音量"},
};

constexpr Caption kPinkNoiseCaptions[] = {
    {"Label1", "Click a white box to start the test", "请点击白色框以打开粉噪测试"},
    {"Label2", "Noise Level", "粉噪音量"},
};

QString TextOf(QObject& window, const char* name) {
  QObject* found = window.findChild<QObject*>(name);
  if (found == nullptr) return QStringLiteral("<no %1>").arg(name);
  if (auto* action = qobject_cast<QAction*>(found)) return action->text();
  if (auto* label = qobject_cast<QLabel*>(found)) return label->text();
  if (auto* button = qobject_cast<QAbstractButton*>(found)) return button->text();
  return QStringLiteral("<%1 has no text>").arg(name);
}

template <std::size_t N>
void ExpectCaptions(QObject& window, const Caption (&captions)[N], Language language) {
  for (const Caption& c : captions)
    EXPECT_EQ(TextOf(window, c.name).toStdString(),
              language == Language::kChinese ? c.chinese : c.english)
        << window.objectName().toStdString() << " " << c.name;
}

// Every label and button of the window shows its whole text, and no label runs into a sibling;
// the picture a dialog draws its boxes on is no neighbour.
std::vector<std::string> CutOrOverlapping(QWidget& window) {
  window.show();
  std::vector<std::string> problems;
  const auto name = [](const QWidget* w) {
    return w->objectName().toStdString() + " \"" +
           (qobject_cast<const QLabel*>(w) ? qobject_cast<const QLabel*>(w)->text()
            : qobject_cast<const QAbstractButton*>(w)
                ? qobject_cast<const QAbstractButton*>(w)->text()
                : QString())
               .toStdString() +
           "\"";
  };
  std::vector<QWidget*> parts;
  for (QWidget* part : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    const auto* label = qobject_cast<QLabel*>(part);
    if (!part->isVisible() || (label != nullptr && !label->pixmap().isNull())) continue;
    parts.push_back(part);
    if (label != nullptr && !label->text().isEmpty() &&
        label->fontMetrics().horizontalAdvance(label->text()) > label->contentsRect().width())
      problems.push_back("cut: " + name(part));
    const auto* button = qobject_cast<QPushButton*>(part);
    if (button != nullptr && button->sizeHint().width() > button->width())
      problems.push_back("cut: " + name(part));
  }
  // A label grows to its text, so a long caption could run into what stands beside it; the
  // buttons keep the form's places (neighbours share an edge there) and are checked above.
  const auto caption = [](const QWidget* w) {
    const auto* label = qobject_cast<const QLabel*>(w);
    return label != nullptr && !label->text().isEmpty();
  };
  for (std::size_t i = 0; i < parts.size(); ++i)
    for (std::size_t j = i + 1; j < parts.size(); ++j)
      if ((caption(parts[i]) || caption(parts[j])) &&
          parts[i]->geometry().intersects(parts[j]->geometry()))
        problems.push_back("overlapping: " + name(parts[i]) + " and " + name(parts[j]));
  window.hide();
  return problems;
}

class TranslatedWindowsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { skin::ApplyDarkTheme(); }
  void TearDown() override { UseLanguage(Language::kEnglish); }

  // The program as started in the language, with the simulated processor plugged in.
  Program& start(Language language) {
    EXPECT_TRUE(UseLanguage(language));
    platform_.plug(std::make_shared<sim::SimulatedHidDevice>());
    program_ = std::make_unique<Program>(platform_, dialogs_, temp_ / "kdsp.ini", true);
    return *program_;
  }

  testing::TempDir temp_;
  device::VirtualHidPlatform platform_;
  testing::ScriptedDialogs dialogs_;
  std::unique_ptr<Program> program_;
};

TEST_F(TranslatedWindowsTest, TheDesktopLanguageOrLangChooses) {
  EXPECT_EQ(Chosen({}, kChineseDesktop), Language::kChinese);
  EXPECT_EQ(Chosen({}, kPlainDesktop), Language::kEnglish);
  EXPECT_EQ(Chosen({"--lang", "en"}, kChineseDesktop), Language::kEnglish);
  EXPECT_EQ(Chosen({"--lang", "zh_CN"}, kPlainDesktop), Language::kChinese);
}

TEST_F(TranslatedWindowsTest, ChineseDesktopGetsChineseMenuPanelAndDialogs) {
  Program& program = start(Chosen({}, kChineseDesktop));
  ExpectCaptions(program.menu(), kMenuItems, Language::kChinese);
  EXPECT_EQ(program.mainWindow().windowTitle(), QStringLiteral("卡拉OK DSP 控制"));

  TForm11& panel = program.systemPanel();
  EXPECT_EQ(panel.windowTitle(), QStringLiteral("系统面板"));
  ExpectCaptions(panel, kPanelCaptions, Language::kChinese);
  auto* list = panel.findChild<QTableWidget*>("ListView1");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->horizontalHeaderItem(0)->text(), QStringLiteral("组号"));
  EXPECT_EQ(list->horizontalHeaderItem(1)->text(), QStringLiteral("设置文件"));
  ASSERT_GE(list->rowCount(), 9);
  EXPECT_EQ(list->item(0, 0)->text(), QStringLiteral("开机"));
  EXPECT_EQ(list->item(7, 0)->text(), QStringLiteral("卡拉OK"));
  EXPECT_EQ(list->item(1, 0)->text(), QStringLiteral("1"));

  EXPECT_EQ(program.pinkNoise().windowTitle(), QStringLiteral("粉噪测试"));
  ExpectCaptions(program.pinkNoise(), kPinkNoiseCaptions, Language::kChinese);
  EXPECT_EQ(program.recordingMix().windowTitle(), QStringLiteral("录音附加调节"));
  ExpectCaptions(program.recordingMix(), kRecordingMixCaptions, Language::kChinese);
  EXPECT_EQ(program.reverb().windowTitle(), QStringLiteral("混响"));
  EXPECT_EQ(TextOf(program.reverb(), "Label1"), QStringLiteral("阻尼: 0"));
  EXPECT_EQ(TextOf(program.reverb(), "Label5"), QStringLiteral("混响预延时: 0"));
}

// The Undo and Redo items name their steps in the language, slots as the menu names them.
TEST_F(TranslatedWindowsTest, TheUndoAndRedoItemsNameTheirStepsInChinese) {
  Program& program = start(Language::kChinese);
  const struct {
    const char* step;
    const char* chinese;
  } cases[] = {
      {"Recall DISCO", "撤销 调用 迪斯科"},
      {"Recall slot 3", "撤销 调用 预设 3"},
      {"Load karaoke.aex", "撤销 载入 karaoke.aex"},
      {"Import Filters room.txt", "撤销 导入滤波器 room.txt"},
      {"Copy A to B", "撤销 复制 A 到 B"},
      {"Phone masterMusic and 2 more", "撤销 手机 masterMusic 及另外 2 项"},
      {"Edit", "撤销 编辑"},
  };
  for (const auto& c : cases) {
    program.menu().showEditState({c.step, "Load x.aex", 0});
    EXPECT_EQ(program.menu().item("mUndo")->text(), QString::fromUtf8(c.chinese)) << c.step;
    EXPECT_EQ(program.menu().item("mRedo")->text(), QStringLiteral("重做 载入 x.aex"));
  }
}

TEST_F(TranslatedWindowsTest, PlainDesktopGetsEnglish) {
  Program& program = start(Chosen({}, kPlainDesktop));
  ExpectCaptions(program.menu(), kMenuItems, Language::kEnglish);
  EXPECT_EQ(program.systemPanel().windowTitle(), QStringLiteral("System Control"));
  ExpectCaptions(program.systemPanel(), kPanelCaptions, Language::kEnglish);
  ExpectCaptions(program.recordingMix(), kRecordingMixCaptions, Language::kEnglish);
  ExpectCaptions(program.pinkNoise(), kPinkNoiseCaptions, Language::kEnglish);
  EXPECT_EQ(program.reverb().windowTitle(), QStringLiteral("Rev "));
}

TEST_F(TranslatedWindowsTest, AQuestionAndItsButtonsAreChinese) {
  ASSERT_TRUE(UseLanguage(Language::kChinese));
  QtUserDialogs dialogs;
  std::vector<bool> answers;
  dialogs.askYesNoAsync("Sync", "Sync with connecting device?",
                        [&](bool yes) { answers.push_back(yes); });
  QMessageBox* box = nullptr;
  for (QWidget* window : QApplication::topLevelWidgets())
    if (auto* found = qobject_cast<QMessageBox*>(window); found != nullptr && found->isVisible())
      box = found;
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->windowTitle(), QStringLiteral("同步"));
  EXPECT_EQ(box->text(), QStringLiteral("与已连接的设备同步吗？"));
  // Qt's own catalogue names the standard buttons.
  ASSERT_NE(box->button(QMessageBox::Yes), nullptr);
  EXPECT_TRUE(box->button(QMessageBox::Yes)->text().contains(QStringLiteral("是")))
      << box->button(QMessageBox::Yes)->text().toStdString();
  box->button(QMessageBox::No)->click();
  EXPECT_EQ(answers, std::vector<bool>{false});
  // The file dialogs' filters are translated before Qt reads their patterns.
  EXPECT_EQ(QtFilter("Audio Setting(*.aex)|*.aex|All Files(*.*)|*.*"),
            QStringLiteral("音效设置(*.aex);;所有文件(*.*)"));
}

TEST_F(TranslatedWindowsTest, ThePhoneRemoteGetsThePagesTextsInChinese) {
  ASSERT_TRUE(UseLanguage(Chosen({}, kChineseDesktop)));
  const QJsonObject texts =
      web::TranslatedPageTexts(InstalledLanguageTag()).value("texts").toObject();
  EXPECT_EQ(texts.value("Pair this phone").toString(), QStringLiteral("配对此手机"));
  EXPECT_EQ(texts.value("Too many wrong codes. Try again in %1 seconds.").toString(),
            QStringLiteral("错误次数太多。请在 %1 秒后重试。"));
  EXPECT_EQ(InstalledLanguageTag(), QStringLiteral("zh-CN"));
  ASSERT_TRUE(UseLanguage(Chosen({"--lang", "en"}, kChineseDesktop)));
  EXPECT_EQ(InstalledLanguageTag(), QStringLiteral("en"));
  EXPECT_EQ(web::TranslatedPageTexts(InstalledLanguageTag())
                .value("texts")
                .toObject()
                .value("Pair this phone")
                .toString(),
            QStringLiteral("Pair this phone"));
}

TEST_F(TranslatedWindowsTest, TheSettingsOriginIsNamedInTheLanguage) {
  using settings::SettingsOrigin;
  const struct {
    SettingsOrigin origin;
    const char* english;
    const char* chinese;
  } cases[] = {
      {SettingsOrigin::Slot(3), "Slot 3", "预设 3"},
      {SettingsOrigin::Slot(7), "Slot KARAOKE", "预设 卡拉OK"},
      {SettingsOrigin::Factory(), "Factory", "出厂设置"},
      {SettingsOrigin::Processor(), "From processor", "来自处理器"},
      {SettingsOrigin::File("/a/b/karaoke.aex"), "karaoke.aex", "karaoke.aex"},
  };
  ASSERT_TRUE(UseLanguage(Language::kChinese));
  for (const auto& c : cases) {
    EXPECT_EQ(settings::OriginText(c.origin, &TranslateText), c.chinese);
    EXPECT_EQ(settings::OriginText(c.origin), c.english);
  }
  ASSERT_TRUE(UseLanguage(Language::kEnglish));
  for (const auto& c : cases) EXPECT_EQ(settings::OriginText(c.origin, &TranslateText), c.english);
}

TEST_F(TranslatedWindowsTest, NoChineseCaptionIsCutOrRunsIntoItsNeighbour) {
  Program& program = start(Language::kChinese);
  for (QWidget* window :
       std::initializer_list<QWidget*>{&program.systemPanel(), &program.pinkNoise(),
                                       &program.recordingMix(), &program.reverb()}) {
    for (const std::string& problem : CutOrOverlapping(*window))
      ADD_FAILURE() << window->windowTitle().toStdString() << ": " << problem;
  }
}

TEST_F(TranslatedWindowsTest, NoEnglishCaptionIsCutOrRunsIntoItsNeighbour) {
  Program& program = start(Language::kEnglish);
  for (QWidget* window :
       std::initializer_list<QWidget*>{&program.systemPanel(), &program.pinkNoise(),
                                       &program.recordingMix(), &program.reverb()}) {
    for (const std::string& problem : CutOrOverlapping(*window))
      ADD_FAILURE() << window->windowTitle().toStdString() << ": " << problem;
  }
}

}  // namespace
}  // namespace kdsp::app
