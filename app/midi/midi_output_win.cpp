#include "app/midi/midi_output_win.h"

// clang-format off
#include <windows.h>
#include <mmsystem.h>
// clang-format on

#include <type_traits>

namespace corvane::midi {
namespace {

struct MidiOutCloser {
    using pointer = HMIDIOUT;
    void operator()(HMIDIOUT handle) const {
        // Only short messages are ever sent, so no buffer can be pending and the close cannot fail
        // with MIDIERR_STILLPLAYING.
        midiOutClose(handle);
    }
};
using MidiOutHandle = std::unique_ptr<std::remove_pointer_t<HMIDIOUT>, MidiOutCloser>;

class WinmmOutput final : public MidiOutput {
  public:
    bool Open() override {
        if (handle_) return true;
        HMIDIOUT handle = nullptr;
        // Without a sound device this fails at once (MIDIERR_INVALIDSETUP or MMSYSERR_BADDEVICEID
        // under Wine); the caller then skips the item without a word.
        if (midiOutOpen(&handle, MIDI_MAPPER, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return false;
        handle_.reset(handle);
        return true;
    }

    void Send(ShortMessage message) override {
        if (handle_) midiOutShortMsg(handle_.get(), PackShortMessage(message));
    }

    void Silence() override {
        if (!handle_) return;
        for (ShortMessage message : SilenceMessages())
            midiOutShortMsg(handle_.get(), PackShortMessage(message));
        // The reset also sends a note-off for every note the driver still counts as on, which
        // covers synthesizers that ignore the channel mode messages.
        midiOutReset(handle_.get());
    }

    void Close() override { handle_.reset(); }

  private:
    MidiOutHandle handle_;
};

}  // namespace

std::unique_ptr<MidiOutput> MakeWinmmOutput() {
    return std::make_unique<WinmmOutput>();
}

}  // namespace corvane::midi
