// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the messages between a later start of kdsp and the running program: their exact
// text, values that would break a line-based message, and messages read as they arrive.
#include "app/instance_message.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kdsp::app {
namespace {

TEST(InstanceMessage, RequestAndReplyTexts) {
  EXPECT_EQ(EncodeRequest({"/home/ann/songs", {"--page", "mic", "--screenshot", "a b.png"}}),
            "kdsp-request 1\n"
            "cwd /home/ann/songs\n"
            "arg --page\n"
            "arg mic\n"
            "arg --screenshot\n"
            "arg a%20b.png\n"
            "end\n");
  EXPECT_EQ(EncodeRequest({"/", {}}), "kdsp-request 1\ncwd /\nend\n");
  EXPECT_EQ(EncodeReply({"saved /tmp/x.png\n", "", 0}),
            "kdsp-reply 1\n"
            "out saved%20/tmp/x.png%0A\n"
            "err \n"
            "status 0\n"
            "end\n");
}

TEST(InstanceMessage, AwkwardValuesTravelIntact) {
  const std::vector<std::string> values = {
      "",
      " ",
      "100%",
      "%41",
      "two\nlines\r\n",
      "tab\there",
      "end",
      "arg x",
      "\x7F\x01",
      "Gr\xC3\xBC\xC3\x9F"
      "e \xE4\xBD\xA0\xE5\xA5\xBD.png",
  };
  for (const std::string& value : values) {
    EXPECT_EQ(PercentDecode(PercentEncode(value)), value);
    const InstanceRequest request{value, {value, "--page", value}};
    const auto decodedRequest = DecodeRequest(EncodeRequest(request));
    EXPECT_EQ(decodedRequest.state, MessageState::kComplete);
    EXPECT_EQ(decodedRequest.message, request);
    const InstanceReply reply{value, value + value, 255};
    const auto decodedReply = DecodeReply(EncodeReply(reply));
    EXPECT_EQ(decodedReply.state, MessageState::kComplete);
    EXPECT_EQ(decodedReply.message, reply);
  }
  EXPECT_EQ(PercentEncode("a b%\n"), "a%20b%25%0A");
}

TEST(InstanceMessage, AMessageIsCompleteOnlyWithItsEndLine) {
  const std::string request = EncodeRequest({"/tmp", {"--page", "echo"}});
  const std::string reply = EncodeReply({"out", "err", 3});
  for (std::size_t n = 0; n < request.size(); ++n)
    EXPECT_EQ(DecodeRequest(request.substr(0, n)).state, MessageState::kIncomplete) << n;
  for (std::size_t n = 0; n < reply.size(); ++n)
    EXPECT_EQ(DecodeReply(reply.substr(0, n)).state, MessageState::kIncomplete) << n;
  EXPECT_EQ(DecodeReply(reply).message, (InstanceReply{"out", "err", 3}));
}

TEST(InstanceMessage, WhatIsNotAMessageOfItsKindIsRefused) {
  const struct {
    const char* what;
    std::string text;
  } requests[] = {
      {"the activation of earlier versions", "activate\n"},
      {"a reply", EncodeReply({})},
      {"another version", "kdsp-request 2\ncwd /\nend\n"},
      {"no working folder", "kdsp-request 1\narg --page\nend\n"},
      {"two working folders", "kdsp-request 1\ncwd /\ncwd /tmp\nend\n"},
      {"an unknown field", "kdsp-request 1\ncwd /\nenv X=1\nend\n"},
      {"a field without a value", "kdsp-request 1\ncwd /\narg\nend\n"},
      {"a broken escape", "kdsp-request 1\ncwd /%2\nend\n"},
      {"a bad escape digit", "kdsp-request 1\ncwd /%G0\nend\n"},
      {"bytes after the end", "kdsp-request 1\ncwd /\nend\nend\n"},
  };
  for (const auto& r : requests)
    EXPECT_EQ(DecodeRequest(r.text).state, MessageState::kInvalid) << r.what;

  const struct {
    const char* what;
    std::string text;
  } replies[] = {
      {"a request", EncodeRequest({"/", {}})},
      {"no status", "kdsp-reply 1\nout x\nend\n"},
      {"a status beyond a byte", "kdsp-reply 1\nstatus 256\nend\n"},
      {"a negative status", "kdsp-reply 1\nstatus -1\nend\n"},
      {"a status that is no number", "kdsp-reply 1\nstatus 1x\nend\n"},
      {"two statuses", "kdsp-reply 1\nstatus 0\nstatus 1\nend\n"},
  };
  for (const auto& r : replies)
    EXPECT_EQ(DecodeReply(r.text).state, MessageState::kInvalid) << r.what;
}

}  // namespace
}  // namespace kdsp::app
