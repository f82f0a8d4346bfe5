// The replay reader on arbitrary bytes, as a file's content or a link: a
// refusal is one plain line; an accepted replay has its records within their
// ranges and in order, and written out again reads back to the same text.
#include "replay/replay_text.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view given(reinterpret_cast<const char*>(data), size);
    Replay replay;
    std::int64_t at = -1;
    std::string error;
    if (!read_packed_replay(given, replay, at, error)) {
        FUZZ_CHECK(is_message_line(error, ""));
        return 0;
    }
    std::int64_t frame = 0;
    for (const ReplayRecord& r : replay.records) {
        FUZZ_CHECK(r.frame >= frame && r.frame <= longest_replay_frames);
        frame = r.frame;
    }
    FUZZ_CHECK(at >= -1 && at <= longest_replay_frames);
    const std::string text = replay_text(replay);
    Replay again;
    FUZZ_CHECK(read_replay_text(text, again, error) && replay_text(again) == text);
    return 0;
}
