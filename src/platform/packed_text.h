// Text packed to travel in a file or a link: deflated (zlib's format, as the
// browsers' CompressionStream("deflate") writes it) and written in base64url
// without padding, so that it needs no escaping after a '#'.
#pragma once

#include <string>
#include <string_view>

// The largest text unpacked: a bound on what a few kilobytes may claim.
inline constexpr std::size_t most_unpacked_bytes = 64 << 20;

bool pack_text(std::string_view text, std::string& packed, std::string& error);
// False with `error` (a few words) for anything that is not whole packed
// text; spaces and line ends around it are allowed.
bool unpack_text(std::string_view packed, std::string& text, std::string& error);
