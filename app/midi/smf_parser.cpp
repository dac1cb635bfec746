#include "app/midi/smf_parser.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace corvane::midi {
namespace {

constexpr std::uint8_t kMetaEvent = 0xFF;
constexpr std::uint8_t kMetaEndOfTrack = 0x2F;
constexpr std::uint8_t kMetaTempo = 0x51;
constexpr std::uint8_t kSysExStart = 0xF0;
constexpr std::uint8_t kSysExEscape = 0xF7;

// A cursor over bytes whose every read checks the bounds.
class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Remaining() const { return bytes_.size() - pos_; }

    bool Byte(std::uint8_t& out) {
        if (Remaining() < 1) return false;
        out = bytes_[pos_++];
        return true;
    }

    bool BigEndian(int width, std::uint32_t& out) {
        if (Remaining() < static_cast<std::size_t>(width)) return false;
        out = 0;
        for (int i = 0; i < width; ++i) out = out << 8 | bytes_[pos_++];
        return true;
    }

    bool Take(std::size_t n, std::span<const std::uint8_t>& out) {
        if (Remaining() < n) return false;
        out = bytes_.subspan(pos_, n);
        pos_ += n;
        return true;
    }

    bool Skip(std::size_t n) {
        std::span<const std::uint8_t> ignored;
        return Take(n, ignored);
    }

    SmfError VarLength(std::uint32_t& out) {
        out = 0;
        for (int i = 0; i < 4; ++i) {
            std::uint8_t b = 0;
            if (!Byte(b)) return SmfError::kTruncated;
            out = out << 7 | (b & 0x7F);
            if ((b & 0x80) == 0) return SmfError::kNone;
        }
        return SmfError::kBadVarLength;
    }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

bool IsChunk(std::span<const std::uint8_t> id, std::string_view name) {
    return std::equal(id.begin(), id.end(), name.begin(), name.end(),
                      [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); });
}

SmfError DataByte(Reader& in, std::uint8_t& out) {
    if (!in.Byte(out)) return SmfError::kTruncated;
    return out & 0x80 ? SmfError::kBadEvent : SmfError::kNone;
}

// Reads one track chunk's body. Running status is cancelled by system-exclusive and meta events,
// as the file format lays down, so a data byte after one of them is an error.
SmfError ParseTrack(std::span<const std::uint8_t> body, Track& track, std::vector<TempoChange>& tempos) {
    Reader in(body);
    std::uint64_t tick = 0;
    std::uint8_t running = 0;
    for (;;) {
        if (in.Remaining() == 0) return SmfError::kMissingEndOfTrack;
        std::uint32_t delta = 0;
        if (SmfError e = in.VarLength(delta); e != SmfError::kNone) return e;
        tick += delta;
        if (tick > std::numeric_limits<std::uint32_t>::max()) return SmfError::kTooLong;
        const auto now = static_cast<std::uint32_t>(tick);

        std::uint8_t lead = 0;
        if (!in.Byte(lead)) return SmfError::kTruncated;

        if (lead == kMetaEvent) {
            running = 0;
            std::uint8_t type = 0;
            std::uint32_t length = 0;
            std::span<const std::uint8_t> data;
            if (!in.Byte(type)) return SmfError::kTruncated;
            if (SmfError e = in.VarLength(length); e != SmfError::kNone) return e;
            if (!in.Take(length, data)) return SmfError::kTruncated;
            if (type == kMetaEndOfTrack) {
                // Anything after the end of track inside the chunk is padding and is ignored.
                track.endTick = now;
                return SmfError::kNone;
            }
            if (type == kMetaTempo) {
                if (data.size() != 3) return SmfError::kBadEvent;
                const std::uint32_t tempo =
                    std::uint32_t{data[0]} << 16 | std::uint32_t{data[1]} << 8 | data[2];
                if (tempo == 0) return SmfError::kBadEvent;
                tempos.push_back({now, tempo});
            }
            continue;
        }
        if (lead == kSysExStart || lead == kSysExEscape) {
            running = 0;
            std::uint32_t length = 0;
            if (SmfError e = in.VarLength(length); e != SmfError::kNone) return e;
            if (!in.Skip(length)) return SmfError::kTruncated;
            continue;
        }
        if (lead >= 0xF0)
            return SmfError::kBadEvent;  // system common and real-time bytes have no place in a file

        ShortMessage message;
        if (lead & 0x80) {
            running = lead;
            message.status = lead;
            if (SmfError e = DataByte(in, message.data1); e != SmfError::kNone) return e;
        } else {
            if (running == 0) return SmfError::kNoRunningStatus;
            message.status = running;
            message.data1 = lead;
        }
        if (DataByteCount(message.status) == 2) {
            if (SmfError e = DataByte(in, message.data2); e != SmfError::kNone) return e;
        }
        track.events.push_back({now, message});
    }
}

SmfError Parse(std::span<const std::uint8_t> bytes, Song& song) {
    Reader in(bytes);
    std::span<const std::uint8_t> id;
    std::uint32_t length = 0;
    if (!in.Take(4, id) || !IsChunk(id, "MThd")) return SmfError::kBadHeader;
    if (!in.BigEndian(4, length)) return SmfError::kTruncated;
    if (length < 6) return SmfError::kBadHeader;
    std::span<const std::uint8_t> headerBody;
    if (!in.Take(length, headerBody)) return SmfError::kTruncated;

    Reader header(headerBody);
    std::uint32_t format = 0, trackCount = 0, division = 0;
    header.BigEndian(2, format);
    header.BigEndian(2, trackCount);
    header.BigEndian(2, division);
    if (format == 2) return SmfError::kUnsupportedFormat;
    if (format > 2) return SmfError::kBadHeader;
    if (division & 0x8000) return SmfError::kSmpteDivision;
    if (division == 0) return SmfError::kBadHeader;
    if (trackCount == 0) return SmfError::kNoTracks;
    if (format == 0 && trackCount != 1) return SmfError::kBadHeader;
    song.format = static_cast<int>(format);
    song.ticksPerQuarter = static_cast<int>(division);

    // Tracks are only added for chunks that are present, so a header that promises 65535 tracks
    // costs nothing until the data backs it up.
    while (song.tracks.size() < trackCount) {
        if (!in.Take(4, id) || !in.BigEndian(4, length)) return SmfError::kTruncated;
        std::span<const std::uint8_t> body;
        if (!in.Take(length, body)) return SmfError::kTruncated;
        if (!IsChunk(id, "MTrk")) continue;  // chunks of other types are for other readers
        Track& track = song.tracks.emplace_back();
        if (SmfError e = ParseTrack(body, track, song.tempoMap); e != SmfError::kNone) return e;
    }
    std::stable_sort(song.tempoMap.begin(), song.tempoMap.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
    return SmfError::kNone;
}

}  // namespace

std::optional<Song> ParseSmf(std::span<const std::uint8_t> bytes, SmfError* error) {
    Song song;
    const SmfError result = Parse(bytes, song);
    if (error) *error = result;
    if (result != SmfError::kNone) return std::nullopt;
    return song;
}

}  // namespace corvane::midi
