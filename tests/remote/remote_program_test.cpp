// SPDX-License-Identifier: GPL-3.0-or-later
// The phone remote in the whole program against the simulated processor: a phone's edit is an
// ordinary edit (sent to the processor, shown on the panels, undoable), an edit on the PC's panel
// is pushed to the phone, a recall from the phone goes through the Presets menu's command, a new
// code from the menu unpairs every phone, and a paired phone stays paired across a restart.
#include <gtest/gtest.h>

#include <QAction>
#include <QJsonArray>
#include <QTest>

#include "app/program.h"
#include "app/remote_line_view.h"
#include "remote/pairing.h"
#include "remote/token_store.h"
#include "remote_test_client.h"
#include "skin/main_window_layout.h"
#include "support/program_session.h"

namespace kdsp::app {
namespace {

using testing::EventSocket;
using testing::HttpAnswer;
using testing::RemoteClient;

constexpr int kMusicMaster = 14;

class RemoteProgramTest : public ::testing::Test, protected testing::ProgramSession {
 protected:
  RemoteProgramTest() { begin(); }

  // Starts the program, connected, with its remote on a free port, and pairs a phone.
  void begin() {
    start();
    main().show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&main()));
    ASSERT_TRUE(waitFor([&] { return link().state().connected && link().lastStatus(); }));
    settle();
    QString error;
    ASSERT_TRUE(program->startRemote({QHostAddress(QHostAddress::LocalHost), 0}, error))
        << error.toStdString();
    phone = std::make_unique<RemoteClient>(port());
    ASSERT_TRUE(phone->pair(program->remote()->text().right(6)));
  }
  quint16 port() { return program->remote()->server().port(); }
  QString events() { return phone->wsUrl("/api/v1/events?token=" + phone->token()); }
  // The next message of a kind, skipping others.
  static QJsonObject next(EventSocket& socket, std::size_t& read, const char* type) {
    for (;;) {
      const QJsonObject message = socket.message(++read);
      if (message.isEmpty() || message.value("type").toString() == type) return message;
    }
  }

  std::unique_ptr<RemoteClient> phone;
};

TEST_F(RemoteProgramTest, TheLineIsShownOnTheMainWindowAndTheLampFollowsThePhone) {
  const RemoteLine shown = main().remoteLine();
  EXPECT_TRUE(shown.serving);
  EXPECT_EQ(shown.url, "http://127.0.0.1:" + std::to_string(port()) + "/");
  EXPECT_EQ(QString::fromStdString(shown.code), program->remote()->text().right(6));
  EXPECT_EQ(program->remote()->text().toStdString(),
            "remote: " + shown.url + " code " + shown.code);
  EXPECT_FALSE(shown.phoneConnected);
  {
    EventSocket socket(events());
    ASSERT_FALSE(socket.message(1).isEmpty());
    EXPECT_TRUE(main().remoteLine().phoneConnected);
  }
  EXPECT_TRUE(waitFor([&] { return !main().remoteLine().phoneConnected; }));
  EXPECT_TRUE(program->menu().item("mNewRemoteCode")->isVisible());
}

TEST_F(RemoteProgramTest, ANewCodeRepaintsTheCodeAndNothingOutsideTheLine) {
  const QImage before = main().grab().toImage();
  const std::string code = main().remoteLine().code;
  // Until the code differs: one in a million new codes is the old one.
  while (main().remoteLine().code == code) program->remote()->newCode();
  const QImage after = main().grab().toImage();
  ASSERT_EQ(before.size(), after.size());
  const QRect bounds = RemoteLineBounds();
  const skin::LayoutRect& c = skin::main_layout::kRemoteCodeRect;
  const QRect codeRect(c.x, c.y, c.w, c.h);
  int inCode = 0, outside = 0;
  for (int y = 0; y < before.height(); ++y)
    for (int x = 0; x < before.width(); ++x) {
      if (before.pixel(x, y) == after.pixel(x, y)) continue;
      if (codeRect.contains(x, y)) ++inCode;
      if (!bounds.contains(x, y)) ++outside;
    }
  EXPECT_GT(inCode, 0);
  EXPECT_EQ(outside, 0);
}

TEST_F(RemoteProgramTest, APhonesEditReachesTheProcessorAndThePanelsAndCanBeUndone) {
  const int before = settings::WorkingBlock().masterMusic;
  const int target = before == 20 ? 21 : 20;
  EventSocket socket(events());
  std::size_t read = 0;
  ASSERT_EQ(next(socket, read, "state").value("settings").toObject().value("masterMusic"), before);

  const HttpAnswer set =
      phone->post("/api/v1/set", QString(R"({"masterMusic":%1})").arg(target).toUtf8());
  ASSERT_EQ(set.status, 200) << set.body.toStdString();
  EXPECT_EQ(set.json().value("changed").toObject(), (QJsonObject{{"masterMusic", target}}));
  settle();
  EXPECT_EQ(remote().masterMusic, target);
  EXPECT_EQ(main().fader(kMusicMaster).value, target);
  EXPECT_EQ(next(socket, read, "fields").value("fields").toObject(),
            (QJsonObject{{"masterMusic", target}}));
  const HttpAnswer status = phone->get("/api/v1/state");
  EXPECT_TRUE(status.json().value("modified").toBool());

  // The edit is a step of the history like a panel's.
  QAction* undo = program->menu().item("mUndo");
  ASSERT_TRUE(undo->isEnabled());
  EXPECT_EQ(undo->text().toStdString(), "Undo Phone masterMusic");
  undo->trigger();
  settle();
  EXPECT_EQ(remote().masterMusic, before);
  EXPECT_EQ(main().fader(kMusicMaster).value, before);
  EXPECT_EQ(next(socket, read, "fields").value("fields").toObject(),
            (QJsonObject{{"masterMusic", before}}));
}

TEST_F(RemoteProgramTest, AnEditOnThePcsPanelIsPushedToThePhone) {
  EventSocket socket(events());
  std::size_t read = 0;
  ASSERT_FALSE(next(socket, read, "state").isEmpty());
  testing::Wheel(main(), main().fader(kMusicMaster).rect, -3);
  const QJsonObject fields = next(socket, read, "fields").value("fields").toObject();
  EXPECT_EQ(fields.value("masterMusic"), settings::WorkingBlock().masterMusic);
  QTest::mouseClick(&main(), Qt::LeftButton, {}, testing::Centre(main().outputSwitch(0).rect));
  const QJsonObject mutes = next(socket, read, "fields").value("fields").toObject();
  EXPECT_EQ(mutes.keys().size(), 1) << QJsonDocument(mutes).toJson().toStdString();
  EXPECT_TRUE(mutes.keys().front().startsWith("outputMutes."));
}

TEST_F(RemoteProgramTest, EditsTheProcessorCannotTakeAreRefusedWhole) {
  const settings::ParameterBlock before = settings::WorkingBlock();
  for (const char* body : {R"({"masterMusic":45,"noSuchField":1})", R"({"masterMusic":"loud"})",
                           R"({"masterMusic":45,"masterMic":-1})"}) {
    SCOPED_TRACE(body);
    const HttpAnswer a = phone->post("/api/v1/set", body);
    EXPECT_EQ(a.status, 400);
    EXPECT_FALSE(a.error().empty());
  }
  settle();
  EXPECT_TRUE(settings::WorkingBlock() == before);
  EXPECT_FALSE(program->menu().item("mUndo")->isEnabled());
}

TEST_F(RemoteProgramTest, TheMastersFollowTheMaximumVolumesSetOnThePc) {
  testing::Type(main(), main().maxVolumeBox(0), "25");
  settle();
  const QJsonObject ranges = phone->get("/api/v1/state").json().value("ranges").toObject();
  EXPECT_EQ(ranges.value("masterMusic").toObject().value("max").toInt(), 25);
  const HttpAnswer above = phone->post("/api/v1/set", R"({"masterMusic":30})");
  EXPECT_EQ(above.status, 400);
  EXPECT_EQ(above.error(), "masterMusic: 30 is above the music maximum volume, 25");
  EXPECT_EQ(phone->post("/api/v1/set", R"({"masterMusic":25})").status, 200);
  settle();
  EXPECT_EQ(remote().masterMusic, 25);
}

TEST_F(RemoteProgramTest, ARecallFromThePhoneBringsTheSlotLikeTheMenu) {
  const QJsonArray offered = phone->get("/api/v1/state").json().value("slots").toArray();
  ASSERT_FALSE(offered.isEmpty());
  EXPECT_EQ(offered.first().toObject().value("name").toString().toStdString(), "START UP");
  EventSocket socket(events());
  std::size_t read = 0;
  ASSERT_FALSE(next(socket, read, "state").isEmpty());
  const HttpAnswer a = phone->post("/api/v1/recall", R"({"slot":3})");
  EXPECT_EQ(a.status, 200) << a.body.toStdString();
  const QJsonObject status = next(socket, read, "status");
  EXPECT_FALSE(status.value("source").toString().isEmpty());
  EXPECT_EQ(program->menu().item("mUndo")->text().toStdString(), "Undo Recall slot 3");
  EXPECT_EQ(phone->post("/api/v1/recall", R"({"slot":10})").status, 400);
  EXPECT_EQ(phone->post("/api/v1/recall", R"({"slot":-1})").status, 400);
}

TEST_F(RemoteProgramTest, ANewCodeFromTheMenuUnpairsEveryPhone) {
  EventSocket socket(events());
  ASSERT_FALSE(socket.message(1).isEmpty());
  trigger("mNewRemoteCode");
  EXPECT_EQ(socket.closeCode(), remote::kCloseUnpaired);
  EXPECT_EQ(phone->get("/api/v1/state").status, 401);
  EXPECT_EQ(QString::fromStdString(main().remoteLine().code), program->remote()->text().right(6));
  EXPECT_TRUE(remote::ReadTokenHashes(temp / "kdsp.ini").isEmpty());
  EXPECT_TRUE(phone->pair(QString::fromStdString(main().remoteLine().code)));
}

TEST_F(RemoteProgramTest, APairedPhoneStaysPairedAcrossARestart) {
  const QByteArray token = phone->token();
  EXPECT_EQ(remote::ReadTokenHashes(temp / "kdsp.ini"),
            QList<QByteArray>{remote::Pairing::HashOf(token)});
  phone.reset();
  program.reset();
  start();
  QString error;
  ASSERT_TRUE(program->startRemote({QHostAddress(QHostAddress::LocalHost), 0}, error));
  RemoteClient again(port());
  again.setToken(token);
  EXPECT_EQ(again.get("/api/v1/state").status, 200);
}

}  // namespace
}  // namespace kdsp::app
