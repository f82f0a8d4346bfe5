#include "platform/packed_text.h"
#include "replay/replay_text.h"

bool read_packed_replay(std::string_view packed, Replay& replay, std::int64_t& at, std::string& error)
{
    at = -1;
    if (const std::size_t mark = packed.find("#replay="); mark != std::string_view::npos) {
        packed.remove_prefix(mark + 8);
        if (const std::size_t and_at = packed.find("&at="); and_at != std::string_view::npos) {
            const std::string_view number = packed.substr(and_at + 4);
            std::int64_t n = 0;
            for (const char c : number) {
                if (c < '0' || c > '9' || n > longest_replay_frames) {
                    error = "its frame to hold is no number";
                    return false;
                }
                n = n * 10 + (c - '0');
            }
            at = number.empty() ? -1 : n;
            packed = packed.substr(0, and_at);
        }
    }
    std::string text;
    return unpack_text(packed, text, error) && read_replay_text(text, replay, error);
}

