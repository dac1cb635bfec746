// Checks the two tunes of the constitution gate window as committed under resources/.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "app/midi/midi_player.h"
#include "app/midi/midi_schedule.h"
#include "app/midi/smf_parser.h"
#include "tests/midi/midi_fakes.h"

// The build passes the source tree; run by hand, the tree is found from this file's path.
#ifndef CORVANE_SOURCE_DIR
#define CORVANE_SOURCE_DIR ""
#endif

namespace corvane::midi {
namespace {

std::filesystem::path TunePath(const std::string& name) {
    std::filesystem::path top = CORVANE_SOURCE_DIR;
    if (top.empty()) top = std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
    return top / "resources" / name;
}

std::string ReadTune(const std::string& name) {
    std::ifstream in(TunePath(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct TuneFacts {
    const char* name;
    std::size_t tracks;
    int ticksPerQuarter;
    double minSeconds, maxSeconds;
};

constexpr TuneFacts kTunes[] = {
    {"GateTune1.mid", 9, 240, 60, 90},
    {"GateTune2.mid", 17, 120, 60, 120},
};

TEST(GateTunes, AreFormat1FilesOfTheirTrackCountDivisionAndLength) {
    for (const TuneFacts& tune : kTunes) {
        SCOPED_TRACE(tune.name);
        const std::string bytes = ReadTune(tune.name);
        ASSERT_FALSE(bytes.empty()) << TunePath(tune.name);
        SmfError error = SmfError::kNone;
        const auto song = ParseSmf(bytes, &error);
        ASSERT_TRUE(song) << static_cast<int>(error);
        EXPECT_EQ(song->format, 1);
        EXPECT_EQ(song->tracks.size(), tune.tracks);
        EXPECT_EQ(song->ticksPerQuarter, tune.ticksPerQuarter);
        EXPECT_FALSE(song->tempoMap.empty());

        const Schedule schedule = ScheduleSong(*song);
        EXPECT_GE(schedule.lengthUs, tune.minSeconds * 1e6);
        EXPECT_LE(schedule.lengthUs, tune.maxSeconds * 1e6);
        ASSERT_FALSE(schedule.messages.empty());
        EXPECT_LE(schedule.messages.back().timeUs, schedule.lengthUs);
    }
}

TEST(GateTunes, EveryInstrumentTrackPlaysNotesThatAllEnd) {
    for (const TuneFacts& tune : kTunes) {
        SCOPED_TRACE(tune.name);
        const auto song = ParseSmf(ReadTune(tune.name));
        ASSERT_TRUE(song);
        // Track 0 is the conductor: tempo and metre, no notes.
        for (std::size_t t = 1; t < song->tracks.size(); ++t) {
            int notes = 0;
            for (const TrackEvent& e : song->tracks[t].events) notes += (e.message.status & 0xF0) == 0x90;
            EXPECT_GT(notes, 16) << "track " << t;
        }

        // Walk the merged schedule: a note ends before its key is struck again on its channel,
        // and nothing sounds when the song is over.
        std::map<std::pair<int, int>, int> sounding;
        std::set<int> channelsWithProgram, channelsWithNotes;
        for (const TimedMessage& timed : ScheduleSong(*song).messages) {
            const ShortMessage m = timed.message;
            const int kind = m.status & 0xF0, channel = m.status & 0x0F;
            if (kind == 0xC0) channelsWithProgram.insert(channel);
            int& count = sounding[std::make_pair(channel, int{m.data1})];
            if (kind == 0x90 && m.data2 > 0) {
                EXPECT_EQ(count++, 0) << "key " << int(m.data1) << " struck twice";
                EXPECT_TRUE(channel == 9 || channelsWithProgram.count(channel))
                    << "no instrument on " << channel;
                channelsWithNotes.insert(channel);
            } else if (kind == 0x80 || kind == 0x90) {
                EXPECT_EQ(count--, 1) << "key " << int(m.data1) << " ended twice";
            }
        }
        for (const auto& [key, count] : sounding)
            EXPECT_EQ(count, 0) << "channel " << key.first << " key " << key.second;
        EXPECT_EQ(channelsWithNotes.count(9), 1u) << "drums on channel 10";
        EXPECT_GE(channelsWithNotes.size(), 7u);
    }
}

TEST(GateTunes, PlayOneAfterTheOtherAsTheGateWindowAsks) {
    auto clock = std::make_shared<testing::FakeClock>();
    testing::OutputRecorder recorder(clock);
    MidiPlayer player(recorder.Factory(), clock);
    player.Play({MidiItem::FromFile(TunePath(kTunes[0].name).string()),
                 MidiItem::FromFile(TunePath(kTunes[1].name).string())});
    ASSERT_TRUE(testing::WaitUntilIdle(player));

    const auto first = ParseSmf(ReadTune(kTunes[0].name));
    const auto second = ParseSmf(ReadTune(kTunes[1].name));
    ASSERT_TRUE(first && second);
    const std::int64_t firstLength = ScheduleSong(*first).lengthUs;
    const std::int64_t secondLength = ScheduleSong(*second).lengthUs;

    std::vector<std::int64_t> opens, closes;
    for (const testing::OutputEvent& e : recorder.Events()) {
        if (e.kind == testing::OutputEvent::Kind::kOpen) opens.push_back(e.timeUs);
        if (e.kind == testing::OutputEvent::Kind::kClose) closes.push_back(e.timeUs);
    }
    EXPECT_EQ(opens, (std::vector<std::int64_t>{0, firstLength}));
    EXPECT_EQ(closes, (std::vector<std::int64_t>{firstLength, firstLength + secondLength}));
}

}  // namespace
}  // namespace corvane::midi
