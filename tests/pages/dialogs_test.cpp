// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the reverb, recording-mix and pink-noise dialogs on the offscreen platform, with the
// simulated processor at the other end of the link.
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "device/command_codes.h"
#include "device/event_loop_wait.h"
#include "device/link_fixture.h"
#include "pages/pink_noise_dialog.h"
#include "pages/pink_noise_picture.h"
#include "pages/recording_mix_dialog.h"
#include "pages/reverb_dialog.h"

namespace kdsp::pages {
namespace {

using device::flag::kMasterFaders;
using device::flag::kMicMaxVolume;
using device::flag::kMusicMaxVolume;
using device::flag::kPinkNoise;

// Long enough for several synchronisation ticks: what has not been sent by then is not going to
// be sent.
constexpr int kQuietMs = 80;

class DialogTest : public device::testing::LinkFixture {
 protected:
  void SetUp() override {
    connectAndGreet();
    // Keep each record's payload as well: "112 37" for code 112 with the byte 0x37.
    processor->processor().onRecordLog = [this](std::string_view line) {
      const std::string text(line);
      received.push_back(std::stoi(text));
      records.push_back(std::to_string(received.back()) + text.substr(text.find(':') + 1));
    };
  }

  // Waits until the tick has sent every raised flag and the processor has acknowledged it.
  void settle() {
    ASSERT_TRUE(waitFor([&] { return !link->insides().flags.anySet(); }));
    device::WaitMs(kQuietMs);
  }

  template <typename T>
  static T* child(QWidget& dialog, const char* name) {
    T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  static void typeInto(QLineEdit* edit, const char* text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromLatin1(text));
  }

  std::vector<std::string> records;
};

// Reverb dialog.

TEST_F(DialogTest, OpeningTheReverbDialogSendsNothingAndDampSendsOnlyItself) {
  working.revTime = 40;
  working.revDamp = 20;
  const int remoteRoomSize = processor->processor().working().revTime;
  TForm14 dialog(working, *link);
  dialog.show();
  EXPECT_FALSE(link->insides().flags.anySet());
  device::WaitMs(kQuietMs);
  EXPECT_TRUE(records.empty());
  EXPECT_EQ(child<QLabel>(dialog, "Label7")->text(), "Rev Time: 40");
  EXPECT_EQ(child<QLabel>(dialog, "Label1")->text(), "Damp: 20");

  auto* damp = child<QSlider>(dialog, "TrackBar2");
  damp->setFocus();
  for (int i = 0; i < 35; ++i) QTest::keyClick(damp, Qt::Key_Right);
  ASSERT_TRUE(waitFor([&] { return !records.empty(); }));
  settle();
  EXPECT_EQ(records, (std::vector<std::string>{"112 37"}));
  EXPECT_EQ(working.revDamp, 55);
  EXPECT_EQ(processor->processor().working().revDamp, 55);
  EXPECT_EQ(processor->processor().working().revTime, remoteRoomSize);
  EXPECT_EQ(working.revTime, 40);
  EXPECT_EQ(child<QLabel>(dialog, "Label1")->text(), "Damp: 55");
  EXPECT_EQ(child<QLabel>(dialog, "Label7")->text(), "Rev Time: 40");
}

TEST_F(DialogTest, EachReverbSliderWritesItsBlockFieldAndSendsItsCommand) {
  struct Case {
    const char* slider;
    const char* label;
    int position;
    const char* labelText;
    const char* record;
  };
  const Case cases[] = {
      {"TrackBar1", "Label7", 95, "Rev Time: 95", "181 5F"},
      {"TrackBar2", "Label1", 1, "Damp: 1", "112 01"},
      {"TrackBar3", "Label2", 100, "Wet: 100", "113 64"},
      {"TrackBar4", "Label3", 33, "Width: 33", "114 21"},
      {"TrackBar5", "Label4", 80, "Rev Level: 80", "180 50"},
      {"TrackBar6", "Label5", 90, "Rev Pre Delay: 90", "182 5A 00"},
  };
  working.revPreDelay = 0x0100;  // beyond the slider: the dialog clamps it and rewrites both bytes
  TForm14 dialog(working, *link);
  dialog.show();
  settle();
  ASSERT_TRUE(records.empty());
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.slider);
    records.clear();
    child<QSlider>(dialog, c.slider)->setValue(c.position);
    settle();
    EXPECT_EQ(records, (std::vector<std::string>{c.record}));
    EXPECT_EQ(child<QLabel>(dialog, c.label)->text(), c.labelText);
    const ReverbRow& row = kReverbRows[i];
    EXPECT_EQ(row.field.read(working), c.position);
    const auto remote = processor->processor().working().bytes();
    const std::size_t at = row.field.offset;
    EXPECT_TRUE(std::equal(remote.begin() + at, remote.begin() + at + row.field.size(),
                           working.bytes().begin() + at));
  }
}

TEST_F(DialogTest, PreDelayLabelNamesItsOwnParameterBeforeItsSliderMoves) {
  working.revPreDelay = 0;
  TForm14 dialog(working, *link);
  dialog.show();
  auto* label = child<QLabel>(dialog, "Label5");
  EXPECT_EQ(label->text(), "Rev Pre Delay: 0");
  dialog.hide();
  working.revPreDelay = 70;  // the effect page moved it meanwhile
  dialog.show();
  EXPECT_EQ(label->text(), "Rev Pre Delay: 70");
  EXPECT_FALSE(link->insides().flags.anySet());
}

// Recording-mix dialog.

TEST_F(DialogTest, FirstOpeningOfTheRecordingMixSendsBothMaximumVolumes) {
  link->setMaxVolumeForNextStore(device::MaxVolume::kMusic, 44);
  link->setMaxVolumeForNextStore(device::MaxVolume::kMic, 33);
  TForm13 dialog(*link);
  dialog.show();
  EXPECT_EQ(child<QLineEdit>(dialog, "Edit2")->text(), "44");
  EXPECT_EQ(child<QLineEdit>(dialog, "Edit4")->text(), "33");
  EXPECT_EQ(dialog.changed(), (std::array<std::uint8_t, 4>{}));
  settle();
  EXPECT_EQ(records, (std::vector<std::string>{"167 2C", "168 21"}));
  EXPECT_EQ(processor->processor().musicMaxVolume(), 44);
  EXPECT_EQ(processor->processor().micMaxVolume(), 33);

  // Unchanged texts run nothing on the next opening.
  records.clear();
  dialog.hide();
  dialog.show();
  settle();
  EXPECT_TRUE(records.empty());
}

TEST_F(DialogTest, TypingThirtyIntoMusicMaximumSendsIt) {
  TForm13 dialog(*link);
  dialog.show();
  settle();
  records.clear();
  typeInto(child<QLineEdit>(dialog, "Edit2"), "30");
  EXPECT_EQ(link->state().musicMaxVolume, 30);
  settle();
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records.back(), "167 1E");
  EXPECT_EQ(processor->processor().musicMaxVolume(), 30);
}

TEST_F(DialogTest, OpenRecordingMixShowsAMaximumChangedElsewhereWithoutSendingItAgain) {
  TForm13 dialog(*link);
  dialog.show();
  settle();
  records.clear();
  link->setMaxVolume(device::MaxVolume::kMusic, 25);
  dialog.showMaxVolumes();
  EXPECT_EQ(child<QLineEdit>(dialog, "Edit2")->text(), "25");
  settle();
  EXPECT_EQ(records, (std::vector<std::string>{"167 19"}));

  // A closed dialog is left for its next opening, which shows and sends the new value.
  dialog.hide();
  link->setMaxVolumeForNextStore(device::MaxVolume::kMic, 20);
  dialog.showMaxVolumes();
  EXPECT_NE(child<QLineEdit>(dialog, "Edit4")->text(), "20");
}

TEST_F(DialogTest, RecordingMixBoxesDispatchOnTheirTag) {
  TForm13 dialog(*link);
  dialog.show();
  settle();
  for (int tag = 0; tag < 6; ++tag) {
    SCOPED_TRACE(tag);
    const auto before = link->state();
    const RecordingMixValues valuesBefore = dialog.values();
    link->syncTimer().stop();
    child<QLineEdit>(dialog, ("Edit" + std::to_string(tag + 1)).c_str())->setText("7");
    const RecordingTarget target = kRecordingBoxRows[static_cast<std::size_t>(tag)].target;
    EXPECT_EQ(link->state().musicMaxVolume,
              target == RecordingTarget::kMusicMaxVolume ? 7 : before.musicMaxVolume);
    EXPECT_EQ(link->state().micMaxVolume,
              target == RecordingTarget::kMicMaxVolume ? 7 : before.micMaxVolume);
    EXPECT_EQ(link->insides().flags[kMusicMaxVolume.first],
              target == RecordingTarget::kMusicMaxVolume);
    EXPECT_EQ(link->insides().flags[kMicMaxVolume.first], target == RecordingTarget::kMicMaxVolume);
    EXPECT_EQ(dialog.changed()[0], target == RecordingTarget::kDialog);
    for (int other = 0; other < 6; ++other) {
      const bool edited = other == tag && target == RecordingTarget::kDialog;
      EXPECT_EQ(dialog.values().boxes[other], edited ? 7 : valuesBefore.boxes[other]) << other;
    }
    link->syncTimer().start();
    dialog.hide();
    dialog.show();  // clears the dialog's flags
    settle();
  }
}

TEST_F(DialogTest, RecordingMixRefusesTextThatIsNoByte) {
  TForm13 dialog(*link);
  dialog.show();
  auto* box = child<QLineEdit>(dialog, "Edit2");
  box->setText("30");
  for (const char* text : {"", "x", "256", "-1", "12a"}) {
    box->setText(text);
    EXPECT_EQ(link->state().musicMaxVolume, 30) << text;
  }
  box->setText(" 60 ");
  EXPECT_EQ(link->state().musicMaxVolume, 60);
}

TEST_F(DialogTest, RecordingVolumesStayInTheDialogAndComeBackOnTheNextOpening) {
  TForm13 dialog(*link);
  dialog.show();
  settle();
  records.clear();
  child<QSlider>(dialog, "TrackBar1")->setValue(12);
  child<QSlider>(dialog, "TrackBar3")->setValue(80);
  child<QLineEdit>(dialog, "Edit6")->setText("9");
  EXPECT_EQ(child<QLineEdit>(dialog, "Edit7")->text(), "12");
  EXPECT_EQ(child<QLineEdit>(dialog, "Edit9")->text(), "80");
  EXPECT_EQ(dialog.changed(), (std::array<std::uint8_t, 4>{1, 1, 0, 1}));
  device::WaitMs(kQuietMs);
  EXPECT_TRUE(records.empty());

  dialog.hide();
  child<QSlider>(dialog, "TrackBar3")->setValue(0);  // as if the window had been reset
  child<QLineEdit>(dialog, "Edit9")->setText("0");
  const RecordingMixValues kept = dialog.values();
  dialog.show();
  EXPECT_EQ(child<QSlider>(dialog, "TrackBar1")->value(), 12);
  EXPECT_EQ(child<QLineEdit>(dialog, "Edit6")->text(), "9");
  EXPECT_EQ(child<QLineEdit>(dialog, "Edit9")->text(), QString::number(kept.volumes[2]));
  EXPECT_EQ(dialog.changed(), (std::array<std::uint8_t, 4>{}));
}

// Pink-noise dialog.

class PinkNoiseTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    dialog = std::make_unique<TForm12>(working, *link,
                                       [this](int level) { faderLevels.push_back(level); });
  }
  void TearDown() override { dialog.reset(); }

  void clickBox(int n) {
    auto* box = child<QCheckBox>(*dialog, ("CheckBox" + std::to_string(n)).c_str());
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(3, 21));  // a corner of the box counts
  }

  std::unique_ptr<TForm12> dialog;
  std::vector<int> faderLevels;
};

TEST_F(PinkNoiseTest, BoxesSetAndClearTheirOutputsBits) {
  dialog->show();
  settle();
  records.clear();
  clickBox(3);
  clickBox(8);
  EXPECT_EQ(link->state().pinkNoiseMask, 0x84);
  ASSERT_TRUE(waitFor([&] { return processor->processor().pinkNoiseMask() == 0x84; }));
  clickBox(3);
  EXPECT_EQ(link->state().pinkNoiseMask, 0x80);
  ASSERT_TRUE(waitFor([&] { return processor->processor().pinkNoiseMask() == 0x80; }));
  settle();
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records.back(), "194 80");
}

TEST_F(PinkNoiseTest, EveryBoxOwnsTheBitOfItsOutput) {
  for (int n = 1; n <= 8; ++n) {
    clickBox(n);
    EXPECT_EQ(link->state().pinkNoiseMask, (1 << n) - 1) << n;
  }
  EXPECT_TRUE(link->insides().flags[kPinkNoise.first]);
}

TEST_F(PinkNoiseTest, ShowingWithOutputsOffStartsTheLevelAtTen) {
  link->setMaxVolumeForNextStore(device::MaxVolume::kMusic, 40);
  working.masterMusic = 25;
  dialog->show();
  auto* slider = child<QSlider>(*dialog, "TrackBar1");
  EXPECT_EQ(slider->maximum(), 40);
  EXPECT_EQ(slider->value(), 10);
  EXPECT_EQ(child<QLabel>(*dialog, "Label3")->text(), "10");
  EXPECT_EQ(working.masterMusic, 10);
  EXPECT_EQ(faderLevels, (std::vector<int>{10}));
  settle();
  EXPECT_EQ(records, (std::vector<std::string>{"160 0A"}));
  EXPECT_EQ(processor->processor().working().masterMusic, 10);
}

TEST_F(PinkNoiseTest, ShowingWithOutputsRunningKeepsTheSlider) {
  link->setMaxVolumeForNextStore(device::MaxVolume::kMusic, 40);
  dialog->show();
  clickBox(1);
  auto* slider = child<QSlider>(*dialog, "TrackBar1");
  slider->setValue(33);
  EXPECT_EQ(working.masterMusic, 33);
  EXPECT_EQ(faderLevels.back(), 33);
  dialog->hide();
  link->setMaxVolumeForNextStore(device::MaxVolume::kMusic, 20);
  dialog->show();
  EXPECT_EQ(slider->maximum(), 40);
  EXPECT_EQ(slider->value(), 33);
  settle();
  EXPECT_EQ(processor->processor().working().masterMusic, 33);
  EXPECT_EQ(processor->processor().pinkNoiseMask(), 0x01);
}

TEST_F(PinkNoiseTest, CreationClearsThePendingPinkNoiseFlag) {
  link->syncTimer().stop();
  link->markChanged(kPinkNoise.first);
  TForm12 another(working, *link, {});
  EXPECT_FALSE(link->insides().flags[kPinkNoise.first]);
  link->syncTimer().start();
}

TEST_F(PinkNoiseTest, BoxesShowWhiteWhenOffAndLitWhenOn) {
  dialog->show();
  const auto centre = [](int n) {
    const auto& box = kPinkNoiseOutputs[static_cast<std::size_t>(n - 1)].box;
    return QPoint(box.x + kPinkNoiseBoxSize.w / 2 - 6, box.y + kPinkNoiseBoxSize.h / 2 + 6);
  };
  clickBox(5);
  const QImage shot = dialog->grab().toImage();
  EXPECT_EQ(shot.pixelColor(centre(3)), QColor(Qt::white));
  EXPECT_NE(shot.pixelColor(centre(5)), QColor(Qt::white));
  EXPECT_GT(shot.pixelColor(centre(5)).red(), 180);  // lit pink
}

// The picture and the windows.

TEST(PinkNoisePicture, ShowsAWhiteBoxWhereEachCheckBoxSits) {
  const QImage picture = PinkNoisePicture();
  ASSERT_EQ(picture.size(), QSize(kPinkNoisePictureSize.w, kPinkNoisePictureSize.h));
  for (const PinkNoiseOutput& output : kPinkNoiseOutputs) {
    SCOPED_TRACE(std::string(output.name));
    const QPoint centre(output.box.x + kPinkNoiseBoxSize.w / 2,
                        output.box.y + kPinkNoiseBoxSize.h / 2);
    EXPECT_EQ(picture.pixelColor(centre), QColor(Qt::white));
    // The box has a border, so it stands out from the floor around it.
    EXPECT_NE(picture.pixelColor(output.box.x + 1, centre.y()), QColor(Qt::white));
  }
}

TEST_F(DialogTest, DialogsHaveTheirCaptionsAndOuterSizes) {
  TForm14 reverb(working, *link);
  TForm13 mix(*link);
  TForm12 pink(working, *link, {});
  struct Case {
    QWidget* dialog;
    const char* caption;
    QSize outer;
  };
  for (const Case& c : {Case{&reverb, "Rev ", {493, 373}}, Case{&mix, "Recording Mix", {711, 267}},
                        Case{&pink, "Pink Noise Test", {472, 595}}}) {
    c.dialog->show();
    EXPECT_EQ(c.dialog->windowTitle(), QString::fromUtf8(c.caption));
    EXPECT_EQ(c.dialog->frameGeometry().size(), c.outer) << c.caption;
  }
}

// The English captions are longer than the form's columns were drawn for: every label shows its
// whole text, the longest its value can make, and covers no slider, box or other label.
TEST_F(DialogTest, EveryLabelShowsItsWholeTextClearOfTheControls) {
  TForm14 reverb(working, *link);
  TForm13 mix(*link);
  TForm12 pink(working, *link, {});
  for (QWidget* dialog : std::initializer_list<QWidget*>{&reverb, &mix, &pink}) {
    dialog->show();
    // The reverb labels at their widest value.
    for (QSlider* slider : reverb.findChildren<QSlider*>()) slider->setValue(slider->maximum());
    const QList<QWidget*> widgets = dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QLabel* label : dialog->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
      if (!label->pixmap().isNull()) continue;  // the pink-noise picture lies under its boxes
      SCOPED_TRACE(label->objectName().toStdString());
      EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();
      EXPECT_LE(label->geometry().right(), dialog->width());
      for (QWidget* other : widgets) {
        if (other == label || !other->isVisible()) continue;
        if (auto* l = qobject_cast<QLabel*>(other); l != nullptr && !l->pixmap().isNull()) continue;
        const QRect text(label->pos(), label->sizeHint());
        EXPECT_FALSE(text.intersects(other->geometry()))
            << other->objectName().toStdString() << " " << text.width() << "x" << text.height();
      }
    }
  }
}

}  // namespace
}  // namespace kdsp::pages
