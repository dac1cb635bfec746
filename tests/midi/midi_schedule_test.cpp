// Tests of the scheduler: track merging, times from the tempo map, and what the player makes of them.
#include "app/midi/midi_schedule.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/midi/midi_player.h"
#include "app/midi/smf_parser.h"
#include "tests/midi/midi_fakes.h"
#include "tests/midi/smf_builder.h"

namespace corvane::midi {
namespace {

using testing::EndOfTrack;
using testing::Event;
using testing::Header;
using testing::Tempo;
using testing::TrackChunk;

Schedule ScheduleOf(const std::string& file) {
    const auto song = ParseSmf(file);
    EXPECT_TRUE(song);
    return song ? ScheduleSong(*song) : Schedule{};
}

void ExpectMessages(const Schedule& schedule, const std::vector<TimedMessage>& expected) {
    ASSERT_EQ(schedule.messages.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("message " + std::to_string(i));
        EXPECT_EQ(schedule.messages[i].timeUs, expected[i].timeUs);
        EXPECT_EQ(schedule.messages[i].message, expected[i].message);
    }
}

TEST(MidiSchedule, MergesTracksByTimeKeepingTrackThenEventOrderAtEqualTimes) {
    // 96 ticks per quarter at the default tempo: one tick lasts 500000 / 96 us.
    const std::string file =
        Header(1, 3, 96) +
        TrackChunk(Event(0, {0xC0, 1}) + Event(96, {0x90, 60, 1}) + Event(0, {0x80, 60, 0}) + EndOfTrack()) +
        TrackChunk(Event(0, {0xC1, 2}) + Event(48, {0x91, 64, 2}) + Event(48, {0x81, 64, 0}) +
                   Event(96, {0x91, 67, 3}) + EndOfTrack(96)) +
        TrackChunk(Event(96, {0xC2, 3}) + Event(0, {0xB2, 7, 90}) + EndOfTrack());
    ExpectMessages(ScheduleOf(file), {{0, {0xC0, 1, 0}},
                                      {0, {0xC1, 2, 0}},
                                      {250000, {0x91, 64, 2}},
                                      {500000, {0x90, 60, 1}},
                                      {500000, {0x80, 60, 0}},
                                      {500000, {0x81, 64, 0}},
                                      {500000, {0xC2, 3, 0}},
                                      {500000, {0xB2, 7, 90}},
                                      {1000000, {0x91, 67, 3}}});
}

TEST(MidiSchedule, KeepsTrackAndEventOrderAmongManyMessagesAtOneTick) {
    // Enough simultaneous messages that an unstable sort would shuffle them: a chord of twelve
    // program and controller settings on each of four tracks, all at tick 0, then one note each.
    std::string file = Header(1, 4, 96);
    std::vector<TimedMessage> expected;
    for (int t = 0; t < 4; ++t) {
        std::string events;
        for (int i = 0; i < 12; ++i) {
            events += Event(0, {0xB0 | t, i, 10 * t + i});
            expected.push_back({0,
                                {static_cast<std::uint8_t>(0xB0 | t), static_cast<std::uint8_t>(i),
                                 static_cast<std::uint8_t>(10 * t + i)}});
        }
        file += TrackChunk(events + Event(96 - 24 * t, {0x90 | t, 60, 100}) + EndOfTrack());
    }
    for (int t = 3; t >= 0; --t) {
        expected.push_back({(96 - 24 * t) * 500000 / 96, {static_cast<std::uint8_t>(0x90 | t), 60, 100}});
    }
    ExpectMessages(ScheduleOf(file), expected);
}

// A conductor track that speeds up at tick 96 and slows down at tick 288, between and on notes.
std::string TempoChangeSong() {
    return Header(1, 2, 96) + TrackChunk(Tempo(96, 250000) + Tempo(192, 1000000) + EndOfTrack(192)) +
           TrackChunk(Event(0, {0x90, 60, 100}) + Event(48, {0x80, 60, 0}) + Event(48, {0x90, 62, 100}) +
                      Event(48, {0x80, 62, 0}) + Event(144, {0x90, 64, 100}) + Event(48, {0x80, 64, 0}) +
                      EndOfTrack());
}

TEST(MidiSchedule, TimesFollowTheTempoMapOfAnyTrack) {
    const Schedule schedule = ScheduleOf(TempoChangeSong());
    ExpectMessages(schedule, {{0, {0x90, 60, 100}},  // default tempo, 500000 us a quarter
                              {250000, {0x80, 60, 0}},
                              {500000, {0x90, 62, 100}},   // on the tick of the change to 250000
                              {625000, {0x80, 62, 0}},     // 48 ticks at the new tempo
                              {1000000, {0x90, 64, 100}},  // on the change to 1000000
                              {1500000, {0x80, 64, 0}}});
    // The conductor's end of track at tick 480 is where the song ends: a rest of 1.5 s after the last note.
    EXPECT_EQ(schedule.lengthUs, 3000000);
}

TEST(MidiSchedule, TimesAreComputedFromTheSegmentStartNotAddedUpPerEvent) {
    // With 3 ticks per quarter a tick is 1/3 s: summing rounded steps would lose a microsecond a tick.
    std::string events = Tempo(0, 1000000);
    for (int i = 0; i < 30; ++i) events += Event(1, {0x90, 60, 1});
    const Schedule schedule = ScheduleOf(Header(0, 1, 3) + TrackChunk(events + EndOfTrack()));
    ASSERT_EQ(schedule.messages.size(), 30u);
    EXPECT_EQ(schedule.messages[0].timeUs, 333333);
    EXPECT_EQ(schedule.messages[2].timeUs, 1000000);
    EXPECT_EQ(schedule.messages[29].timeUs, 10000000);
}

TEST(MidiSchedule, TheLongestSongTheParserAcceptsDoesNotOverflow) {
    // 2^32 - 1 ticks at one tick per quarter and the slowest tempo there is.
    std::string events = Tempo(0, 0xFFFFFF) + Event(0, {0x90, 60, 1});
    for (int i = 0; i < 16; ++i) events += Event(0x0FFFFFFF, {0xFF, 0x01, 0x00});
    events += Event(0xF, {0x80, 60, 0}) + EndOfTrack();
    const Schedule schedule = ScheduleOf(Header(0, 1, 1) + TrackChunk(events));
    ASSERT_EQ(schedule.messages.size(), 2u);
    const std::int64_t expected = std::int64_t{0xFFFFFFFF} * 0xFFFFFF;
    EXPECT_EQ(schedule.messages[1].timeUs, expected);
    EXPECT_EQ(schedule.lengthUs, expected);
}

TEST(MidiSchedule, APlayerSendsEachMessageAtItsScheduledTime) {
    static const std::string kSong = TempoChangeSong();
    auto clock = std::make_shared<testing::FakeClock>();
    testing::OutputRecorder recorder(clock);
    {
        MidiPlayer player(recorder.Factory(), clock);
        player.Play(1, 0, {MidiItem::FromMemory(kSong)});
        ASSERT_TRUE(testing::WaitUntilIdle(player));
    }
    const Schedule schedule = ScheduleOf(kSong);
    const std::vector<testing::OutputEvent> sent = recorder.Sent();
    ASSERT_EQ(sent.size(), schedule.messages.size()) << recorder.Dump();
    for (std::size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i].timeUs, schedule.messages[i].timeUs) << i;
        EXPECT_EQ(sent[i].message, schedule.messages[i].message) << i;
    }
    // The song's closing rest is played out before the output is silenced.
    const auto events = recorder.Events();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events.back().kind, testing::OutputEvent::Kind::kClose);
    EXPECT_EQ(events.back().timeUs, schedule.lengthUs);
}

}  // namespace
}  // namespace corvane::midi
