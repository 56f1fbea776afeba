// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the remote's server on a real socket with a plain target: the page's files, the
// pairing, the token on every API request, what the API passes to the target and answers, and
// the events pushed over the WebSocket.
#include "remote/remote_server.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <deque>

#include "remote/web/page_texts.h"
#include "remote_test_client.h"

namespace kdsp::remote {
namespace {

using testing::EventSocket;
using testing::HttpAnswer;
using testing::RemoteClient;

// The program's side, as plain values the test sets and reads.
class FakeTarget : public RemoteTarget {
 public:
  QJsonObject fields() const override { return settings; }
  RemoteStatus status() const override { return shown; }
  QList<PresetEntry> presets() const override { return {{0, "START UP"}, {7, "KARAOKE"}}; }
  ApplyResult applyFields(const QJsonObject& values) override {
    applied.push_back(values);
    return applyAnswer;
  }
  void recall(int slot, std::function<void(RecallResult)> done) override {
    recalled.push_back(slot);
    pendingRecall = std::move(done);
  }

  QJsonObject settings{{"masterMusic", 40}, {"outputMutes.controlMusic", true}};
  RemoteStatus shown{
      true, "Slot 3", false, {{"masterMusic", QJsonObject{{"min", 0}, {"max", 60}, {"step", 1}}}}};
  ApplyResult applyAnswer{ApplyResult::Kind::kApplied, {{"masterMusic", 45}}, {}};
  std::vector<QJsonObject> applied;
  std::vector<int> recalled;
  std::function<void(RecallResult)> pendingRecall;
};

class RemoteServerTest : public ::testing::Test {
 protected:
  RemoteServerTest()
      : pairing([this] { return now; },
                [this] { return words.empty() ? 0xa1b2c3d4u + counter++ : Take(); }),
        server(target, pairing) {
    QString error;
    started = server.start({QHostAddress(QHostAddress::LocalHost), 0}, error);
    EXPECT_TRUE(started) << error.toStdString();
    client = std::make_unique<RemoteClient>(server.port());
  }
  quint32 Take() {
    const quint32 w = words.front();
    words.pop_front();
    return w;
  }

  std::chrono::steady_clock::time_point now{std::chrono::hours(1)};
  std::deque<quint32> words{123456};  // the first code
  quint32 counter = 0;
  FakeTarget target;
  Pairing pairing;
  RemoteServer server;
  bool started = false;
  std::unique_ptr<RemoteClient> client;
};

QByteArray Resource(const char* path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(RemoteServerTest, ServesThePageFilesWithoutATokenAndNothingElse) {
  struct Case {
    const char* path;
    const char* resource;
    const char* type;
  };
  const Case files[] = {
      {"/", ":/remote/index.html", "text/html; charset=utf-8"},
      {"/remote.js", ":/remote/remote.js", "application/javascript"},
      {"/remote.css", ":/remote/remote.css", "text/css"},
      {"/icon.svg", ":/remote/icon.svg", "image/svg+xml"},
  };
  for (const Case& c : files) {
    SCOPED_TRACE(c.path);
    const HttpAnswer a = client->get(c.path);
    EXPECT_EQ(a.status, 200);
    EXPECT_EQ(a.contentType.toStdString(), c.type);
    EXPECT_FALSE(a.body.isEmpty());
    EXPECT_EQ(a.body, Resource(c.resource));
    EXPECT_EQ(a.header("Cache-Control").toStdString(), "no-store");
  }
  for (const char* path :
       {"/index.html", "/remote.js/", "/api", "/api/v1", "/favicon.ico", "/remote/index.html"}) {
    SCOPED_TRACE(path);
    const HttpAnswer a = client->get(path);
    EXPECT_EQ(a.status, 404);
    EXPECT_EQ(a.error(), "not found");
  }
  EXPECT_EQ(client->post("/", "{}").status, 405);
}

TEST_F(RemoteServerTest, ServesThePagesTextsWithoutAToken) {
  const HttpAnswer a = client->get("/texts.json");
  EXPECT_EQ(a.status, 200);
  EXPECT_EQ(a.json(), web::TranslatedPageTexts(QStringLiteral("en")));
  EXPECT_EQ(a.json().value("texts").toObject().value("Pair this phone").toString(),
            QStringLiteral("Pair this phone"));
  EXPECT_EQ(client->post("/texts.json", "{}").status, 405);
}

TEST_F(RemoteServerTest, EveryApiRequestButThePairingNeedsAKnownToken) {
  ASSERT_TRUE(client->pair("123456"));
  const QByteArray token = client->token();
  struct Request {
    const char* method;
    const char* path;
    const char* body;
  };
  const Request requests[] = {
      {"GET", "/api/v1/state", ""},
      {"POST", "/api/v1/set", "{\"masterMusic\":45}"},
      {"POST", "/api/v1/recall", "{\"slot\":1}"},
      {"GET", "/api/v1/events", ""},
      {"GET", "/api/v1/nothing", ""},
  };
  const std::optional<QByteArray> refused[] = {
      QByteArray(),
      "Bearer",
      "Bearer " + token.left(63),
      "Bearer " + token.toUpper(),
      "Basic " + token,
      "Bearer " + Pairing::HashOf(token),
      token,
  };
  for (const Request& r : requests) {
    for (const auto& authorization : refused) {
      SCOPED_TRACE(std::string(r.path) + " with '" + authorization->toStdString() + "'");
      const HttpAnswer a = client->request(r.method, r.path, r.body, authorization);
      EXPECT_EQ(a.status, 401);
      EXPECT_EQ(a.error(), "pair this phone first");
      EXPECT_EQ(a.header("WWW-Authenticate").toStdString(), "Bearer");
    }
  }
  EXPECT_TRUE(target.applied.empty());
  EXPECT_TRUE(target.recalled.empty());
  // The scheme is read without regard to case.
  EXPECT_EQ(client->request("GET", "/api/v1/state", {}, "bearer " + token).status, 200);
  EXPECT_EQ(client->request("GET", "/api/v1/nothing", {}, "Bearer " + token).status, 404);
  EXPECT_EQ(client->request("POST", "/api/v1/state", "{}", "Bearer " + token).status, 405);
  EXPECT_EQ(client->request("GET", "/api/v1/set", {}, "Bearer " + token).status, 405);
  EXPECT_EQ(client->request("GET", "/api/v1/events", {}, "Bearer " + token).status, 400);
}

TEST_F(RemoteServerTest, PairingRefusesMalformedAndWrongCodesAndPausesAfterThree) {
  for (const char* body : {"", "{", "[]", "{}", "{\"code\":123456}", "{\"code\":\"12345\"}",
                           "{\"code\":\"1234567\"}", "{\"Code\":\"123456\"}"}) {
    SCOPED_TRACE(body);
    const HttpAnswer a = client->post("/api/v1/pair", body);
    EXPECT_EQ(a.status, 400);
    EXPECT_FALSE(a.error().empty());
  }
  EXPECT_EQ(client->get("/api/v1/pair").status, 405);
  for (int i = 0; i < 3; ++i) {
    const HttpAnswer a = client->post("/api/v1/pair", "{\"code\":\"654321\"}");
    EXPECT_EQ(a.status, 403);
    EXPECT_EQ(a.error(), "wrong code");
  }
  const HttpAnswer paused = client->post("/api/v1/pair", "{\"code\":\"123456\"}");
  EXPECT_EQ(paused.status, 429);
  EXPECT_EQ(paused.json().value("retryAfter").toInt(), 1);
  EXPECT_EQ(paused.header("Retry-After").toStdString(), "1");
  EXPECT_FALSE(paused.json().contains("token"));
  now += std::chrono::seconds(1);
  const HttpAnswer paired = client->post("/api/v1/pair", "{\"code\":\"123456\"}");
  EXPECT_EQ(paired.status, 200);
  EXPECT_EQ(paired.json().value("token").toString().size(), 64);
  EXPECT_EQ(paired.json().keys(), QStringList{"token"});
}

TEST_F(RemoteServerTest, StateIsTheTargetsFieldsStatusAndPresets) {
  ASSERT_TRUE(client->pair("123456"));
  const HttpAnswer a = client->get("/api/v1/state");
  ASSERT_EQ(a.status, 200);
  EXPECT_EQ(a.contentType.toStdString(), "application/json");
  EXPECT_EQ(QJsonDocument(a.json()).toJson(QJsonDocument::Compact).toStdString(),
            R"({"link":"connected","modified":false,)"
            R"("ranges":{"masterMusic":{"max":60,"min":0,"step":1}},)"
            R"("settings":{"masterMusic":40,"outputMutes.controlMusic":true},)"
            R"("slots":[{"name":"START UP","slot":0},{"name":"KARAOKE","slot":7}],)"
            R"("source":"Slot 3"})");
  target.shown.connected = false;
  target.shown.modified = true;
  EXPECT_EQ(client->get("/api/v1/state").json().value("link").toString().toStdString(),
            "disconnected");
}

TEST_F(RemoteServerTest, SetPassesTheFieldsAndAnswersWhatTheTargetMadeOfThem) {
  ASSERT_TRUE(client->pair("123456"));
  const HttpAnswer applied = client->post("/api/v1/set", R"({"masterMusic":45,"echoA.level":3})");
  EXPECT_EQ(applied.status, 200);
  ASSERT_EQ(target.applied.size(), 1u);
  EXPECT_EQ(target.applied[0], (QJsonObject{{"masterMusic", 45}, {"echoA.level", 3}}));
  EXPECT_EQ(QJsonDocument(applied.json()).toJson(QJsonDocument::Compact).toStdString(),
            R"({"changed":{"masterMusic":45}})");

  struct Case {
    ApplyResult::Kind kind;
    int status;
  };
  for (const Case c :
       {Case{ApplyResult::Kind::kRefused, 400}, Case{ApplyResult::Kind::kNotConnected, 409},
        Case{ApplyResult::Kind::kBusy, 409}}) {
    target.applyAnswer = {c.kind, {}, "masterMusic: 99 is above 60"};
    const HttpAnswer a = client->post("/api/v1/set", R"({"masterMusic":99})");
    EXPECT_EQ(a.status, c.status);
    EXPECT_EQ(a.error(), "masterMusic: 99 is above 60");
  }
  const std::size_t calls = target.applied.size();
  for (const char* body : {"", "[1]", "{\"masterMusic\":", "42"})
    EXPECT_EQ(client->post("/api/v1/set", body).status, 400) << body;
  EXPECT_EQ(target.applied.size(), calls);
}

TEST_F(RemoteServerTest, RecallAnswersOnceTheTargetIsDone) {
  ASSERT_TRUE(client->pair("123456"));
  QNetworkReply* pending = client->send("POST", "/api/v1/recall", R"({"slot":7})");
  ASSERT_TRUE(
      device::WaitUntil([&] { return bool(target.pendingRecall); }, testing::kRemoteAnswerLimit));
  EXPECT_EQ(target.recalled, std::vector<int>{7});
  // Other requests are answered meanwhile.
  EXPECT_EQ(client->get("/api/v1/state").status, 200);
  EXPECT_FALSE(pending->isFinished());
  std::exchange(target.pendingRecall, {})(RecallResult::kRecalled);
  const HttpAnswer done = RemoteClient::answer(pending);
  EXPECT_EQ(done.status, 200);
  EXPECT_EQ(done.body.toStdString(), "{}");

  struct Case {
    RecallResult result;
    int status;
  };
  for (const Case c : {Case{RecallResult::kBadSlot, 400}, Case{RecallResult::kNotConnected, 409},
                       Case{RecallResult::kBusy, 409}, Case{RecallResult::kNotAnswered, 504}}) {
    QNetworkReply* reply = client->send("POST", "/api/v1/recall", R"({"slot":11})");
    ASSERT_TRUE(
        device::WaitUntil([&] { return bool(target.pendingRecall); }, testing::kRemoteAnswerLimit));
    std::exchange(target.pendingRecall, {})(c.result);
    const HttpAnswer a = RemoteClient::answer(reply);
    EXPECT_EQ(a.status, c.status);
    EXPECT_FALSE(a.error().empty());
  }
  const std::size_t calls = target.recalled.size();
  for (const char* body : {"{}", R"({"slot":"1"})", R"({"slot":1.5})", R"({"slot":true})", "[1]",
                           R"({"slot":1e300})", R"({"slot":-1e300})"})
    EXPECT_EQ(client->post("/api/v1/recall", body).status, 400) << body;
  EXPECT_EQ(target.recalled.size(), calls);
}

TEST_F(RemoteServerTest, RecallOfAClientThatLeftIsAnsweredToNobody) {
  ASSERT_TRUE(client->pair("123456"));
  QNetworkReply* pending = client->send("POST", "/api/v1/recall", R"({"slot":1})");
  ASSERT_TRUE(
      device::WaitUntil([&] { return bool(target.pendingRecall); }, testing::kRemoteAnswerLimit));
  pending->abort();
  device::WaitMs(50);
  std::exchange(target.pendingRecall, {})(RecallResult::kRecalled);
  // The server goes on serving.
  EXPECT_EQ(client->get("/api/v1/state").status, 200);
}

TEST_F(RemoteServerTest, EventsBeginWithTheStateAndFollowEveryChange) {
  ASSERT_TRUE(client->pair("123456"));
  EventSocket events(client->wsUrl("/api/v1/events?token=" + client->token()));
  const QJsonObject state = events.message(1);
  EXPECT_EQ(state.value("type").toString().toStdString(), "state");
  EXPECT_EQ(state.value("settings").toObject(), target.settings);
  EXPECT_EQ(state.value("source").toString().toStdString(), "Slot 3");
  EXPECT_EQ(state.value("slots").toArray().size(), 2);
  ASSERT_EQ(server.eventClients(), 1);

  emit target.fieldsChanged({{"masterMic", 12}});
  EXPECT_EQ(QJsonDocument(events.message(2)).toJson(QJsonDocument::Compact).toStdString(),
            R"({"fields":{"masterMic":12},"type":"fields"})");
  // A status that did not change is not sent; one that did is.
  emit target.statusChanged();
  target.shown.modified = true;
  target.shown.source = "karaoke.aex";
  emit target.statusChanged();
  EXPECT_EQ(QJsonDocument(events.message(3)).toJson(QJsonDocument::Compact).toStdString(),
            R"({"link":"connected","modified":true,)"
            R"("ranges":{"masterMusic":{"max":60,"min":0,"step":1}},)"
            R"("source":"karaoke.aex","type":"status"})");
  // Nothing empty is sent.
  emit target.fieldsChanged({});
  emit target.fieldsChanged({{"masterMic", 13}});
  EXPECT_EQ(events.message(4).value("fields").toObject(), (QJsonObject{{"masterMic", 13}}));
  EXPECT_EQ(events.received(), 4u);
}

TEST_F(RemoteServerTest, EventSocketsWithoutAKnownTokenAreClosedAsUnpaired) {
  ASSERT_TRUE(client->pair("123456"));
  EventSocket none(client->wsUrl("/api/v1/events"));
  EventSocket wrong(client->wsUrl("/api/v1/events?token=" + QString(64, 'a')));
  EventSocket header(client->wsUrl("/api/v1/events"), "Bearer " + client->token());
  EXPECT_EQ(none.closeCode(), 4401);
  EXPECT_EQ(wrong.closeCode(), 4401);
  EXPECT_EQ(header.message(1).value("type").toString().toStdString(), "state");
  EXPECT_EQ(none.received(), 0u);
  EXPECT_EQ(wrong.received(), 0u);
  EXPECT_EQ(server.eventClients(), 1);
  // An upgrade elsewhere is no WebSocket at all.
  EventSocket elsewhere(client->wsUrl("/api/v1/state?token=" + client->token()));
  EXPECT_NE(elsewhere.closeCode(), 4401);
  EXPECT_EQ(elsewhere.received(), 0u);
}

TEST_F(RemoteServerTest, NewCodeDropsEveryTokenAndClosesTheirEvents) {
  // Two tokens of eight words each, then the new code.
  words = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 777777};
  ASSERT_TRUE(client->pair("123456"));
  RemoteClient second(server.port());
  ASSERT_TRUE(second.pair("123456"));
  EventSocket first(client->wsUrl("/api/v1/events?token=" + client->token()));
  EventSocket other(client->wsUrl("/api/v1/events?token=" + second.token()));
  ASSERT_EQ(first.message(1).value("type").toString().toStdString(), "state");
  ASSERT_EQ(other.message(1).value("type").toString().toStdString(), "state");
  server.newCode();
  EXPECT_EQ(server.code().toStdString(), "777777");
  EXPECT_EQ(first.closeCode(), 4401);
  EXPECT_EQ(other.closeCode(), 4401);
  EXPECT_EQ(server.eventClients(), 0);
  EXPECT_EQ(client->get("/api/v1/state").status, 401);
  EXPECT_EQ(second.get("/api/v1/state").status, 401);
  EXPECT_EQ(client->post("/api/v1/pair", R"({"code":"123456"})").status, 403);
  EXPECT_TRUE(client->pair("777777"));
  EXPECT_EQ(client->get("/api/v1/state").status, 200);
}

TEST_F(RemoteServerTest, ATokenForgottenToMakeRoomEndsItsEvents) {
  ASSERT_TRUE(client->pair("123456"));
  EventSocket oldest(client->wsUrl("/api/v1/events?token=" + client->token()));
  ASSERT_EQ(oldest.message(1).value("type").toString().toStdString(), "state");
  RemoteClient later(server.port());
  for (int i = 0; i < Pairing::kMaxTokens; ++i) ASSERT_TRUE(later.pair("123456"));
  EXPECT_EQ(oldest.closeCode(), 4401);
  EXPECT_EQ(client->get("/api/v1/state").status, 401);
  EXPECT_EQ(later.get("/api/v1/state").status, 200);
}

TEST_F(RemoteServerTest, AnAddressInUseIsRefusedWithTheReason) {
  RemoteServer again(target, pairing);
  QString error;
  EXPECT_FALSE(again.start({QHostAddress(QHostAddress::LocalHost), server.port()}, error));
  EXPECT_TRUE(error.startsWith("the remote cannot listen on 127.0.0.1 port"))
      << error.toStdString();
  EXPECT_EQ(again.port(), 0);
}

}  // namespace
}  // namespace kdsp::remote
