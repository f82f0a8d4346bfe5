// K on the desktop: the replay packed into a file in the pictures folder,
// named for the moment as screenshots are.
#include <cstdio>

#include "keys/title_readout.h"
#include "platform/packed_text.h"
#include "platform/picture_files.h"
#include "programs/common/toy_extras.h"

const char* const keep_replay_help = "K   keep this session from its start as a replay, modra-....modra, in your pictures folder\n";

void keep_replay_text(WindowHandle window, const std::string& text)
{
    std::string packed, path, error;
    const bool kept = pack_text(text, packed, error) &&
                      save_new_text(pictures_folder(), "modra-" + local_time_stamp(), "modra", packed + "\n", path, error);
    std::fprintf(stderr, "modra: %s\n", kept ? ("kept " + path).c_str() : error.c_str());
    show_note(window, kept ? "kept " + path : error);
}
