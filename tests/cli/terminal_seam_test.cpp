#include "cli/terminal_seam.h"
#include "tests/cli/cli_test_helpers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace velnor::cli {
namespace {

using namespace std::chrono_literals;

MessageBoxRequest Box(MessageButtons buttons, MessageIcon icon, const std::string& text) {
    MessageBoxRequest request;
    request.text = text;
    request.title = "Velnor";
    request.buttons = buttons;
    request.icon = icon;
    return request;
}

TerminalSeam MakeSeam(const CapturedStreams& io, bool inIsTerminal, bool assumeYes = false) {
    SeamSettings settings;
    settings.folder = "/srv/site";
    settings.assumeYes = assumeYes;
    return TerminalSeam(settings, io.Streams(inIsTerminal), nullptr, RealNow);
}

TEST(TerminalSeam, ControlsHoldWhatTheCommandLineSaid) {
    CapturedStreams io;
    SeamSettings settings{"/srv/site", "php|inc", false, true, false, false};
    TerminalSeam seam(settings, io.Streams(), nullptr, RealNow);
    EXPECT_EQ(seam.FolderPath(), "/srv/site");
    EXPECT_EQ(seam.ExtensionText(), "php|inc");
    EXPECT_FALSE(seam.RemoveSpacesTicked());
    EXPECT_TRUE(seam.RemoveBreaksTicked());
    EXPECT_FALSE(seam.BackupTicked());

    // The gauges keep their captions, as the window's labels would.
    seam.SetGaugeCaption(Gauge::FileBar, "|||");
    EXPECT_EQ(seam.GaugeCaption(Gauge::FileBar), "|||");
    EXPECT_EQ(seam.GaugeCaption(Gauge::PackBar), "");
}

TEST(TerminalSeam, BoxesWithOnlyOkAreErrorsUnlessTheyCarryTheExclamation) {
    struct Case {
        MessageIcon icon;
        bool failed;
        std::string err;
    };
    for (const Case& c : {Case{MessageIcon::Critical, true, "velnor-cli: disk full\n"},
                          Case{MessageIcon::None, true, "velnor-cli: disk full\n"},
                          Case{MessageIcon::Exclamation, false, "disk full\n"}}) {
        CapturedStreams io;
        TerminalSeam seam = MakeSeam(io, false);
        EXPECT_EQ(seam.ShowMessage(Box(MessageButtons::Ok, c.icon, "disk full")),
                  MessageAnswer::Ok);
        EXPECT_EQ(seam.Failed(), c.failed);
        EXPECT_EQ(seam.Failure(), c.failed ? "disk full" : "");
        EXPECT_EQ(io.Err(), c.err);
        EXPECT_FALSE(seam.Declined());
    }
}

TEST(TerminalSeam, QuestionsAreAnsweredByYesTheTerminalOrNobody) {
    struct Case {
        bool assumeYes;
        bool terminal;
        std::string typed;
        bool yes;
    };
    const std::vector<Case> cases = {
        {true, false, "", true},      {true, true, "n\n", true},    {false, true, "y\n", true},
        {false, true, "Yes\n", true}, {false, true, "no\n", false}, {false, true, "yy\n", false},
        {false, true, "", false},     {false, false, "y\n", false},
    };
    for (const Case& c : cases) {
        for (auto buttons : {MessageButtons::YesNo, MessageButtons::OkCancel}) {
            CapturedStreams io(c.typed);
            TerminalSeam seam = MakeSeam(io, c.terminal, c.assumeYes);
            MessageAnswer answer = seam.ShowMessage(Box(buttons, MessageIcon::None, "go on?"));
            MessageAnswer expected = buttons == MessageButtons::YesNo
                                         ? (c.yes ? MessageAnswer::Yes : MessageAnswer::No)
                                         : (c.yes ? MessageAnswer::Ok : MessageAnswer::Cancel);
            EXPECT_EQ(answer, expected) << c.typed << " terminal=" << c.terminal;
            EXPECT_EQ(seam.Declined(), !c.yes);
            EXPECT_FALSE(seam.Failed());
        }
    }
}

TEST(TerminalSeam, OnlyTheFirstLineTypedIsTakenAsTheAnswer) {
    CapturedStreams io("y\nrest");
    TerminalSeam seam = MakeSeam(io, true);
    EXPECT_EQ(seam.ShowMessage(Box(MessageButtons::YesNo, MessageIcon::None, "go on?")),
              MessageAnswer::Yes);
    char next[4] = {};
    EXPECT_EQ(::read(io.Streams().in, next, 4), 4);
    EXPECT_EQ(std::string(next, 4), "rest");
}

TEST(TerminalSeam, TimeAtThePromptIsCountedAsWaiting) {
    CapturedStreams io("y\n");
    std::vector<std::chrono::steady_clock::time_point> ticks = {
        std::chrono::steady_clock::time_point{} + 2s,
        std::chrono::steady_clock::time_point{} + 9s,
    };
    std::size_t calls = 0;
    Clock clock = [&] {
        return ticks.at(calls++);
    };
    TerminalSeam seam(SeamSettings{}, io.Streams(true), nullptr, clock);

    seam.ShowMessage(Box(MessageButtons::YesNo, MessageIcon::None, "go on?"));

    EXPECT_EQ(seam.AnswerWait(), 7s);
}

} // namespace
} // namespace velnor::cli
