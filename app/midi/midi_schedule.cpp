#include "app/midi/midi_schedule.h"

#include <algorithm>
#include <cstddef>

namespace corvane::midi {
namespace {

// Turns ticks into microseconds, for ticks that never decrease from one call to the next.
class TickTimer {
  public:
    TickTimer(const std::vector<TempoChange>& tempoMap, int ticksPerQuarter)
        : tempoMap_(tempoMap), ticksPerQuarter_(ticksPerQuarter) {}

    std::int64_t Micros(std::uint32_t tick) {
        // A tempo change at a tick governs the time after it, not the time of that tick.
        while (next_ < tempoMap_.size() && tempoMap_[next_].tick <= tick) {
            segmentUs_ = Micros(tempoMap_[next_].tick - segmentTick_, segmentUs_);
            segmentTick_ = tempoMap_[next_].tick;
            tempo_ = tempoMap_[next_].microsPerQuarter;
            ++next_;
        }
        return Micros(tick - segmentTick_, segmentUs_);
    }

  private:
    std::int64_t Micros(std::uint32_t ticksIntoSegment, std::int64_t segmentStartUs) const {
        return segmentStartUs + static_cast<std::int64_t>(ticksIntoSegment) * tempo_ / ticksPerQuarter_;
    }

    const std::vector<TempoChange>& tempoMap_;
    const int ticksPerQuarter_;
    std::size_t next_ = 0;
    std::uint32_t segmentTick_ = 0;
    std::int64_t segmentUs_ = 0;
    std::int64_t tempo_ = kDefaultMicrosPerQuarter;
};

}  // namespace

Schedule ScheduleSong(const Song& song) {
    std::vector<TrackEvent> merged;
    std::size_t total = 0;
    std::uint32_t endTick = 0;
    for (const Track& track : song.tracks) {
        total += track.events.size();
        endTick = std::max(endTick, track.endTick);
    }
    merged.reserve(total);
    for (const Track& track : song.tracks)
        merged.insert(merged.end(), track.events.begin(), track.events.end());
    // Appended in track order, so a stable sort by tick keeps track order and event order at equal ticks.
    std::stable_sort(merged.begin(), merged.end(),
                     [](const TrackEvent& a, const TrackEvent& b) { return a.tick < b.tick; });

    if (!merged.empty()) endTick = std::max(endTick, merged.back().tick);

    Schedule schedule;
    schedule.messages.reserve(merged.size());
    TickTimer timer(song.tempoMap, std::max(song.ticksPerQuarter, 1));
    for (const TrackEvent& event : merged)
        schedule.messages.push_back({timer.Micros(event.tick), event.message});
    schedule.lengthUs = timer.Micros(endTick);
    return schedule;
}

}  // namespace corvane::midi
