// Tests of the MIDI player in virtual time: counts, pauses, dropped items, stopping and silencing.
#include "app/midi/midi_player.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "tests/midi/midi_fakes.h"
#include "tests/midi/smf_builder.h"

namespace corvane::midi {
namespace {

using testing::FakeClock;
using testing::OutputEvent;
using testing::OutputRecorder;

// Constant data that outlives every player, as the program's tunes do.
const std::string kSongA = testing::OneNoteSong(60, 192);  // note 3C for 1 s
const std::string kSongB = testing::OneNoteSong(62, 96);   // note 3E for 0.5 s
const std::string kNotMidi = "MThd, or so it says";
const std::string kSilent = testing::Header(0, 1, 96) + testing::TrackChunk(testing::EndOfTrack());

MidiItem A() {
    return MidiItem::FromMemory(kSongA);
}
MidiItem B() {
    return MidiItem::FromMemory(kSongB);
}

// The output log of one played item, as OutputRecorder::Dump lines.
std::vector<std::string> PlayedOnce(std::int64_t start, int key, std::int64_t length) {
    char on[32], off[32];
    std::snprintf(on, sizeof on, "%lld send 90 %02X 64", static_cast<long long>(start), key);
    std::snprintf(off, sizeof off, "%lld send 80 %02X 00", static_cast<long long>(start + length), key);
    const std::string end = std::to_string(start + length);
    return {std::to_string(start) + " open", on, off, end + " silence", end + " close"};
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

class MidiPlayerTest : public ::testing::Test {
  protected:
    std::vector<std::string> Log() const {
        std::vector<std::string> lines;
        for (const OutputEvent& event : recorder.Events()) lines.push_back(testing::Describe(event));
        return lines;
    }

    int CountOf(OutputEvent::Kind kind) const {
        int n = 0;
        for (const OutputEvent& event : recorder.Events()) n += event.kind == kind;
        return n;
    }

    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    OutputRecorder recorder{clock};
    MidiPlayer player{recorder.Factory(), clock};  // last, so its thread ends before the fakes go
};

TEST_F(MidiPlayerTest, PlaysTheListCountTimes) {
    struct Case {
        int count;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {1, PlayedOnce(0, 0x3C, 1000000)},
        {2, Join({PlayedOnce(0, 0x3C, 1000000), PlayedOnce(1000000, 0x3C, 1000000)})},
        {3, Join({PlayedOnce(0, 0x3C, 1000000), PlayedOnce(1000000, 0x3C, 1000000),
                  PlayedOnce(2000000, 0x3C, 1000000)})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("count " + std::to_string(c.count));
        auto caseClock = std::make_shared<FakeClock>();
        OutputRecorder caseRecorder(caseClock);
        MidiPlayer casePlayer(caseRecorder.Factory(), caseClock);
        casePlayer.Play(c.count, 0, {A()});
        ASSERT_TRUE(testing::WaitUntilIdle(casePlayer));
        std::vector<std::string> lines;
        for (const OutputEvent& event : caseRecorder.Events()) lines.push_back(testing::Describe(event));
        EXPECT_EQ(lines, c.log);
    }
}

TEST_F(MidiPlayerTest, CountLeftOutPlaysOncePlayingEachItemInTurn) {
    player.Play({A(), B()});
    ASSERT_TRUE(testing::WaitUntilIdle(player));
    EXPECT_EQ(Log(), Join({PlayedOnce(0, 0x3C, 1000000), PlayedOnce(1000000, 0x3E, 500000)}));
}

TEST_F(MidiPlayerTest, CountZeroOrAnEmptyListPlaysNothingAndStopsWhatPlays) {
    player.Play(0, 0, {A()});
    EXPECT_FALSE(player.IsPlaying());
    player.Play(1, 0, {});
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_TRUE(Log().empty());

    clock->SetLimit(400000);
    player.Play(1, 0, {A()});
    ASSERT_TRUE(clock->WaitUntilParked());
    player.Play(0, 0, {A()});
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_EQ(Log(),
              (std::vector<std::string>{"0 open", "0 send 90 3C 64", "400000 silence", "400000 close"}));
}

TEST_F(MidiPlayerTest, PausesAfterEachItemPlayed) {
    player.Play(2, 3, {A(), B()});
    ASSERT_TRUE(testing::WaitUntilIdle(player));
    EXPECT_EQ(Log(), Join({PlayedOnce(0, 0x3C, 1000000), PlayedOnce(1300000, 0x3E, 500000),
                           PlayedOnce(2100000, 0x3C, 1000000), PlayedOnce(3400000, 0x3E, 500000)}));
}

TEST_F(MidiPlayerTest, ANegativePauseCountsAsNone) {
    player.Play(1, -4, {A(), B()});
    ASSERT_TRUE(testing::WaitUntilIdle(player));
    EXPECT_EQ(Log(), Join({PlayedOnce(0, 0x3C, 1000000), PlayedOnce(1000000, 0x3E, 500000)}));
}

TEST_F(MidiPlayerTest, DropsItemsThatCannotBePlayedWithoutPausingForThem) {
    const std::string missing = ::testing::TempDir() + "corvane_no_such_tune.mid";
    std::remove(missing.c_str());
    player.Play(1, 1,
                {MidiItem::FromMemory(kNotMidi), A(), MidiItem::FromFile(missing),
                 MidiItem::FromMemory(std::string_view(kSongB).substr(0, kSongB.size() - 1)), B()});
    ASSERT_TRUE(testing::WaitUntilIdle(player));
    EXPECT_EQ(Log(), Join({PlayedOnce(0, 0x3C, 1000000), PlayedOnce(1100000, 0x3E, 500000)}));
}

TEST_F(MidiPlayerTest, AFileIsReadWhenItsTurnComes) {
    const std::string path = ::testing::TempDir() + "corvane_late_tune.mid";
    std::remove(path.c_str());
    clock->SetLimit(0);  // the first item waits for the file to be written
    player.Play(1, 0, {A(), MidiItem::FromFile(path)});
    ASSERT_TRUE(clock->WaitUntilParked());
    {
        std::ofstream out(path, std::ios::binary);
        out << kSongB;
    }
    clock->SetLimit(std::numeric_limits<std::int64_t>::max());
    ASSERT_TRUE(testing::WaitUntilIdle(player));
    std::remove(path.c_str());
    EXPECT_EQ(Log(), Join({PlayedOnce(0, 0x3C, 1000000), PlayedOnce(1000000, 0x3E, 500000)}));
}

TEST_F(MidiPlayerTest, EndlessPlayGoesOnUntilStoppedThenSilences) {
    for (int count : {MidiPlayer::kEndless, -5}) {
        SCOPED_TRACE("count " + std::to_string(count));
        auto caseClock = std::make_shared<FakeClock>();
        OutputRecorder caseRecorder(caseClock);
        MidiPlayer casePlayer(caseRecorder.Factory(), caseClock);
        caseClock->SetLimit(5500000);
        casePlayer.Play(count, 0, {A()});
        ASSERT_TRUE(caseClock->WaitUntilParked());
        EXPECT_TRUE(casePlayer.IsPlaying());
        casePlayer.Stop();
        EXPECT_FALSE(casePlayer.IsPlaying());

        const auto events = caseRecorder.Events();
        int opens = 0;
        for (const OutputEvent& event : events) opens += event.kind == OutputEvent::Kind::kOpen;
        EXPECT_EQ(opens, 6);  // five whole passes and the sixth stopped half-way
        ASSERT_GE(events.size(), 3u);
        EXPECT_EQ(testing::Describe(events[events.size() - 3]), "5000000 send 90 3C 64");
        EXPECT_EQ(testing::Describe(events[events.size() - 2]), "5500000 silence");
        EXPECT_EQ(testing::Describe(events[events.size() - 1]), "5500000 close");
    }
}

TEST_F(MidiPlayerTest, AnEndlessListWithNothingPlayableEnds) {
    struct Case {
        const char* name;
        bool deviceAvailable;
        std::vector<MidiItem> items;
    };
    const Case cases[] = {
        {"no item parses",
         true,
         {MidiItem::FromMemory(kNotMidi), MidiItem::FromFile("/nonexistent/tune.mid")}},
        {"no output device", false, {A(), B()}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        recorder.SetDeviceAvailable(c.deviceAvailable);
        player.Play(MidiPlayer::kEndless, 0, c.items);
        EXPECT_TRUE(testing::WaitUntilIdle(player));
        EXPECT_TRUE(Log().empty());
    }
}

TEST_F(MidiPlayerTest, AnEndlessListOfSongsWithoutLengthDoesNotSpin) {
    // Each pass takes at least kMinPassUs of the clock's time, so the clock moves on and reaches the limit.
    clock->SetLimit(10 * kMinPassUs);
    player.Play(MidiPlayer::kEndless, 0, {MidiItem::FromMemory(kSilent)});
    ASSERT_TRUE(clock->WaitUntilParked());
    player.Stop();
    EXPECT_EQ(CountOf(OutputEvent::Kind::kOpen), 11);
    EXPECT_EQ(CountOf(OutputEvent::Kind::kClose), 11);
}

TEST_F(MidiPlayerTest, PlayWhilePlayingSilencesTheOldSongBeforeTheNewOneStarts) {
    clock->SetLimit(400000);
    player.Play(MidiPlayer::kEndless, 0, {A()});
    ASSERT_TRUE(clock->WaitUntilParked());
    player.Play(1, 0, {B()});
    ASSERT_TRUE(clock->WaitUntilParked());  // the new song holds its note where the old one was cut
    clock->SetLimit(std::numeric_limits<std::int64_t>::max());
    ASSERT_TRUE(testing::WaitUntilIdle(player));
    EXPECT_EQ(Log(), Join({{"0 open", "0 send 90 3C 64", "400000 silence", "400000 close"},
                           PlayedOnce(400000, 0x3E, 500000)}));
}

TEST_F(MidiPlayerTest, DestroyingThePlayerSilencesItsSong) {
    clock->SetLimit(700000);
    {
        MidiPlayer scoped(recorder.Factory(), clock);
        scoped.Play(MidiPlayer::kEndless, 0, {A()});
        ASSERT_TRUE(clock->WaitUntilParked());
    }
    EXPECT_EQ(Log(),
              (std::vector<std::string>{"0 open", "0 send 90 3C 64", "700000 silence", "700000 close"}));
}

TEST(MidiPlayerRealTime, StopEndsALongWaitPromptly) {
    static const std::string kMinuteLong = testing::OneNoteSong(60, 96 * 120);
    auto clock = MakeSteadyClock();
    OutputRecorder recorder(clock);
    MidiPlayer player(recorder.Factory(), clock);
    player.Play(1, 0, {MidiItem::FromMemory(kMinuteLong)});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (recorder.Sent().empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(recorder.Sent().size(), 1u);

    const auto before = std::chrono::steady_clock::now();
    player.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(500));
    const auto events = recorder.Events();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[2].kind, OutputEvent::Kind::kSilence);
    EXPECT_EQ(events[3].kind, OutputEvent::Kind::kClose);
    EXPECT_LT(events[3].timeUs, 10'000'000);
}

TEST(MidiPlayerRealTime, PlaysAShortSongInRealTime) {
    static const std::string kTenthOfASecond = testing::OneNoteSong(60, 19);  // 98958 us
    auto clock = MakeSteadyClock();
    OutputRecorder recorder(clock);
    MidiPlayer player(recorder.Factory(), clock);
    player.Play(1, 0, {MidiItem::FromMemory(kTenthOfASecond)});
    ASSERT_TRUE(testing::WaitUntilIdle(player));
    const auto sent = recorder.Sent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_GE(sent[1].timeUs - sent[0].timeUs, 98958);
}

}  // namespace
}  // namespace corvane::midi
