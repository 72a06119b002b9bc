#pragma once

#include <cstddef>
#include <string_view>

// What of a caption the result box shows. At 96 pixels the box has room for fewer than twenty
// characters, so laying out the rest of a pasted 100,000-character name with every frame would
// cost milliseconds for nothing: the box takes the first MaxShownCodePoints code points at
// most, cut between two characters as a reader sees them, never inside a combining sequence,
// an emoji sequence or a flag. Every front-end shows what this returns.
inline constexpr std::size_t MaxShownCodePoints = 256;
std::string_view shownCaption(std::string_view caption);
