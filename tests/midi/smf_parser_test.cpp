// Tests of the Standard MIDI File parser: what it reads, what it skips, and what it rejects.
#include "app/midi/smf_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/midi/smf_builder.h"

namespace corvane::midi {
namespace {

using testing::BigEndian16;
using testing::BigEndian32;
using testing::Chunk;
using testing::EndOfTrack;
using testing::Event;
using testing::Header;
using testing::Tempo;
using testing::TrackChunk;

struct Expected {
    std::uint32_t tick;
    ShortMessage message;
};

void ExpectEvents(const Track& track, const std::vector<Expected>& expected) {
    ASSERT_EQ(track.events.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("event " + std::to_string(i));
        EXPECT_EQ(track.events[i].tick, expected[i].tick);
        EXPECT_EQ(track.events[i].message, expected[i].message);
    }
}

TEST(SmfParser, ReadsEveryKindOfChannelMessageInFormat0) {
    const std::string file =
        Header(0, 1, 480) + TrackChunk(Event(0, {0xC3, 19}) +             // program change: one data byte
                                       Event(0, {0xB3, 7, 100}) +         // control change
                                       Event(10, {0x93, 60, 90}) +        // note on
                                       Event(5, {0xA3, 60, 40}) +         // poly pressure
                                       Event(5, {0xD3, 33}) +             // channel pressure: one data byte
                                       Event(0x81, {0xE3, 0x00, 0x40}) +  // pitch bend, two-byte delta
                                       Event(480, {0x83, 60, 64}) +       // note off
                                       EndOfTrack(20));
    SmfError error = SmfError::kNone;
    const auto song = ParseSmf(file, &error);
    ASSERT_TRUE(song) << static_cast<int>(error);
    EXPECT_EQ(error, SmfError::kNone);
    EXPECT_EQ(song->format, 0);
    EXPECT_EQ(song->ticksPerQuarter, 480);
    ASSERT_EQ(song->tracks.size(), 1u);
    ExpectEvents(song->tracks[0], {{0, {0xC3, 19, 0}},
                                   {0, {0xB3, 7, 100}},
                                   {10, {0x93, 60, 90}},
                                   {15, {0xA3, 60, 40}},
                                   {20, {0xD3, 33, 0}},
                                   {149, {0xE3, 0x00, 0x40}},
                                   {629, {0x83, 60, 64}}});
    EXPECT_EQ(song->tracks[0].endTick, 649u);
    EXPECT_TRUE(song->tempoMap.empty());
}

TEST(SmfParser, RunningStatusRepeatsTheLastStatusForOneAndTwoDataByteMessages) {
    // Running status also carries over note on with velocity 0, which stays a note on for the
    // device to treat as a note off.
    const std::string file =
        Header(0, 1, 96) +
        TrackChunk(Event(0, {0x90, 60, 100}) + Event(0, {64, 100}) + Event(96, {60, 0}) + Event(0, {64, 0}) +
                   Event(0, {0xC1, 5}) + Event(0, {6}) + Event(1, {7}) + EndOfTrack());
    const auto song = ParseSmf(file);
    ASSERT_TRUE(song);
    ExpectEvents(song->tracks[0], {{0, {0x90, 60, 100}},
                                   {0, {0x90, 64, 100}},
                                   {96, {0x90, 60, 0}},
                                   {96, {0x90, 64, 0}},
                                   {96, {0xC1, 5, 0}},
                                   {96, {0xC1, 6, 0}},
                                   {97, {0xC1, 7, 0}}});
}

TEST(SmfParser, Format1KeepsTracksApartAndGathersTempoChangesFromAllOfThem) {
    const std::string file =
        Header(1, 3, 96) + TrackChunk(Tempo(0, 600000) + Tempo(192, 400000) + EndOfTrack(96)) +
        TrackChunk(Event(0, {0x90, 60, 100}) + Tempo(96, 300000) + Event(96, {0x80, 60, 0}) + EndOfTrack()) +
        // A tempo at the same tick as one in an earlier track: kept after it, so it wins.
        TrackChunk(Tempo(192, 250000) + Event(0, {0x91, 48, 80}) + EndOfTrack(500));
    const auto song = ParseSmf(file);
    ASSERT_TRUE(song);
    EXPECT_EQ(song->format, 1);
    ASSERT_EQ(song->tracks.size(), 3u);
    EXPECT_TRUE(song->tracks[0].events.empty());
    EXPECT_EQ(song->tracks[0].endTick, 288u);
    ExpectEvents(song->tracks[1], {{0, {0x90, 60, 100}}, {192, {0x80, 60, 0}}});
    ExpectEvents(song->tracks[2], {{192, {0x91, 48, 80}}});
    EXPECT_EQ(song->tracks[2].endTick, 692u);

    ASSERT_EQ(song->tempoMap.size(), 4u);
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> expected = {
        {0, 600000}, {96, 300000}, {192, 400000}, {192, 250000}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(song->tempoMap[i].tick, expected[i].first) << i;
        EXPECT_EQ(song->tempoMap[i].microsPerQuarter, expected[i].second) << i;
    }
}

TEST(SmfParser, SkipsMetaAndSystemExclusiveEventsUnknownChunksAndPadding) {
    const std::string events = Event(0, {0xFF, 0x03, 5, 'T', 'i', 't', 'l', 'e'}) +  // track name
                               Event(0, {0xFF, 0x58, 4, 4, 2, 24, 8}) +              // time signature
                               Event(0, {0xF0, 5, 0x7E, 0x7F, 0x09, 0x01, 0xF7}) +   // GM on
                               Event(10, {0x90, 60, 100}) +
                               Event(10, {0xF7, 2, 0xF3, 0x01}) +  // escaped bytes
                               Event(10, {0xFF, 0x7F, 0x81, 0x00}) + std::string(128, '\x55') +  // long meta
                               Event(10, {0x80, 60, 0}) + EndOfTrack(5) +
                               std::string("\x00\x90\x3C\x40", 4);  // after the end of track: ignored
    // A header longer than six bytes, as later versions of the format may write.
    const std::string file = Chunk("MThd", BigEndian16(1) + BigEndian16(1) + BigEndian16(96) + "xy") +
                             Chunk("XFIH", "vendor data") + TrackChunk(events);
    const auto song = ParseSmf(file);
    ASSERT_TRUE(song);
    ASSERT_EQ(song->tracks.size(), 1u);
    ExpectEvents(song->tracks[0], {{10, {0x90, 60, 100}}, {40, {0x80, 60, 0}}});
    EXPECT_EQ(song->tracks[0].endTick, 45u);
    EXPECT_TRUE(song->tempoMap.empty());
}

TEST(SmfParser, AcceptsTheLongestDeltaTimeAndTrailingBytesAfterTheLastTrack) {
    const std::string file =
        Header(0, 1, 96) + TrackChunk(Event(0x0FFFFFFF, {0x90, 60, 1}) + EndOfTrack()) + "junk";
    const auto song = ParseSmf(file);
    ASSERT_TRUE(song);
    ASSERT_EQ(song->tracks[0].events.size(), 1u);
    EXPECT_EQ(song->tracks[0].events[0].tick, 0x0FFFFFFFu);
}

struct Malformed {
    const char* name;
    std::string bytes;
    SmfError error;
};

std::vector<Malformed> MalformedFiles() {
    const std::string header1 = Header(1, 1, 96);
    const std::string end = EndOfTrack();
    const std::string note = Event(0, {0x90, 60, 100});
    const std::string good = header1 + TrackChunk(note + end);
    std::string longDeltas;
    for (int i = 0; i < 17; ++i) longDeltas += Event(0x0FFFFFFF, {0xFF, 0x01, 0x00});
    return {
        {"empty", "", SmfError::kBadHeader},
        {"not a MIDI file", std::string("RIFF\x08\0\0\0RMIDdata", 16), SmfError::kBadHeader},
        {"header id only", "MThd", SmfError::kTruncated},
        {"header length 5", Chunk("MThd", std::string("\0\1\0\1\0", 5)) + TrackChunk(end),
         SmfError::kBadHeader},
        {"header cut short", good.substr(0, 11), SmfError::kTruncated},
        {"format 2", Header(2, 1, 96) + TrackChunk(end), SmfError::kUnsupportedFormat},
        {"format 3", Header(3, 1, 96) + TrackChunk(end), SmfError::kBadHeader},
        {"SMPTE division", Header(1, 1, 0xE728) + TrackChunk(end), SmfError::kSmpteDivision},
        {"division 0", Header(1, 1, 0) + TrackChunk(end), SmfError::kBadHeader},
        {"no tracks", Header(1, 0, 96), SmfError::kNoTracks},
        {"format 0 with two tracks", Header(0, 2, 96) + TrackChunk(end) + TrackChunk(end),
         SmfError::kBadHeader},
        {"fewer track chunks than the header says", Header(1, 3, 96) + TrackChunk(end) + TrackChunk(end),
         SmfError::kTruncated},
        {"65535 tracks promised, one given", Header(1, 65535, 96) + TrackChunk(end), SmfError::kTruncated},
        {"only chunks of other types", header1 + Chunk("XFKM", "abc") + Chunk("MTrx", end),
         SmfError::kTruncated},
        {"track length past the end", header1 + "MTrk" + BigEndian32(100) + note + end, SmfError::kTruncated},
        {"track length near 4 GiB", header1 + "MTrk" + BigEndian32(0xFFFFFFFF) + note + end,
         SmfError::kTruncated},
        {"chunk header cut short", header1 + "MTr", SmfError::kTruncated},
        {"empty track", header1 + TrackChunk(""), SmfError::kMissingEndOfTrack},
        {"no end of track", header1 + TrackChunk(note + Event(96, {0x80, 60, 0})),
         SmfError::kMissingEndOfTrack},
        {"message cut at the chunk end", header1 + TrackChunk(Event(0, {0x90, 60})), SmfError::kTruncated},
        {"delta time cut at the chunk end", header1 + TrackChunk(note + std::string("\x81", 1)),
         SmfError::kTruncated},
        {"delta time of five bytes", header1 + TrackChunk("\xFF\xFF\xFF\xFF\x7F" + end),
         SmfError::kBadVarLength},
        {"meta length of five bytes",
         header1 + TrackChunk(Event(0, {0xFF, 0x01, 0x80, 0x80, 0x80, 0x80, 0x01}) + end),
         SmfError::kBadVarLength},
        {"data byte before any status", header1 + TrackChunk(Event(0, {60, 100}) + end),
         SmfError::kNoRunningStatus},
        {"data byte after a meta event",
         header1 + TrackChunk(note + Event(0, {0xFF, 0x01, 0x00}) + Event(0, {62, 9}) + end),
         SmfError::kNoRunningStatus},
        {"data byte after system exclusive",
         header1 + TrackChunk(note + Event(0, {0xF0, 1, 0xF7}) + Event(0, {62, 9}) + end),
         SmfError::kNoRunningStatus},
        {"status byte where data belongs", header1 + TrackChunk(Event(0, {0x90, 60, 0x90}) + end),
         SmfError::kBadEvent},
        {"system common byte", header1 + TrackChunk(Event(0, {0xF2, 0, 0}) + end), SmfError::kBadEvent},
        {"real-time byte", header1 + TrackChunk(Event(0, {0xF8}) + end), SmfError::kBadEvent},
        {"meta data past the chunk end", header1 + TrackChunk(Event(0, {0xFF, 0x01, 0x20, 'a'})),
         SmfError::kTruncated},
        {"meta type cut off", header1 + TrackChunk(Event(0, {0xFF})), SmfError::kTruncated},
        {"system exclusive past the chunk end", header1 + TrackChunk(Event(0, {0xF0, 0x7F, 1, 2})),
         SmfError::kTruncated},
        {"tempo of two bytes", header1 + TrackChunk(Event(0, {0xFF, 0x51, 0x02, 0x07, 0xA1}) + end),
         SmfError::kBadEvent},
        {"tempo of zero", header1 + TrackChunk(Tempo(0, 0) + end), SmfError::kBadEvent},
        {"track longer than 2^32 ticks", header1 + TrackChunk(longDeltas + end), SmfError::kTooLong},
        {"second track broken", Header(1, 2, 96) + TrackChunk(note + end) + TrackChunk(Event(0, {0x90})),
         SmfError::kTruncated},
    };
}

TEST(SmfParser, RejectsMalformedFiles) {
    for (const Malformed& c : MalformedFiles()) {
        SCOPED_TRACE(c.name);
        SmfError error = SmfError::kNone;
        EXPECT_FALSE(ParseSmf(c.bytes, &error));
        EXPECT_EQ(error, c.error);
    }
}

TEST(SmfParser, RejectsEveryProperPrefixOfAGoodFile) {
    const std::string file =
        Header(1, 2, 96) +
        TrackChunk(Tempo(0, 500000) + Event(0, {0xFF, 0x58, 4, 4, 2, 24, 8}) + EndOfTrack(384)) +
        TrackChunk(Event(0, {0xC0, 56}) + Event(0, {0x90, 60, 100}) + Event(96, {62, 100}) +
                   Event(0, {0xF0, 3, 1, 2, 0xF7}) + Event(96, {0x80, 60, 0}) + Event(0, {0x80, 62, 0}) +
                   EndOfTrack());
    ASSERT_TRUE(ParseSmf(file));
    for (std::size_t length = 0; length < file.size(); ++length) {
        EXPECT_FALSE(ParseSmf(std::string_view(file).substr(0, length)))
            << "prefix of " << length << " bytes";
    }
}

}  // namespace
}  // namespace corvane::midi
