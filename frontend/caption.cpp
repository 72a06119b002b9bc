#include "caption.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace {

constexpr char32_t ZeroWidthJoiner = 0x200D;

struct Range
{
    char32_t first;
    char32_t last;
};

// The characters that join the one before them into one, as Unicode's grapheme clusters have
// it, for the scripts and sequences a name is likely to hold: combining marks of Latin,
// Cyrillic, Hebrew and Arabic text, Japanese voiced sound marks (half-width ones too), joiners,
// variation selectors, emoji skin tones and tags.
constexpr std::array<Range, 24> Joining = {{
    {0x0300, 0x036F}, {0x0483, 0x0489}, {0x0591, 0x05BD},   {0x05BF, 0x05BF},   {0x05C1, 0x05C2},
    {0x05C4, 0x05C5}, {0x05C7, 0x05C7}, {0x0610, 0x061A},   {0x064B, 0x065F},   {0x0670, 0x0670},
    {0x06D6, 0x06DC}, {0x06DF, 0x06E4}, {0x06E7, 0x06E8},   {0x06EA, 0x06ED},   {0x1AB0, 0x1AFF},
    {0x1DC0, 0x1DFF}, {0x200C, 0x200D}, {0x20D0, 0x20FF},   {0x3099, 0x309A},   {0xFE00, 0xFE0F},
    {0xFE20, 0xFE2F}, {0xFF9E, 0xFF9F}, {0x1F3FB, 0x1F3FF}, {0xE0020, 0xE01EF},
}};

bool joinsPrevious(char32_t c)
{
    const auto range = std::upper_bound(Joining.begin(), Joining.end(), c,
                                        [](char32_t c, const Range &r) { return c < r.first; });
    return range != Joining.begin() && c <= std::prev(range)->last;
}

bool isRegionalIndicator(char32_t c)
{
    return c >= 0x1F1E6 && c <= 0x1F1FF;
}

// The code point that starts at text[at], and where the next one starts. A byte that starts
// no well-formed sequence counts as one code point of its own.
char32_t decode(std::string_view text, std::size_t &at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(at);
    const std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if (at + i >= text.size() || (byte(at + i) & 0xC0) != 0x80) {
            ++at;
            return lead;
        }
        c = (c << 6) | (byte(at + i) & 0x3F);
    }
    at += length;
    return c;
}

} // namespace

std::string_view shownCaption(std::string_view caption)
{
    // The first code points, and where each starts, one more than is shown.
    std::array<char32_t, MaxShownCodePoints + 1> codePoints {};
    std::array<std::size_t, MaxShownCodePoints + 1> starts {};
    std::size_t count = 0;
    for (std::size_t at = 0; at < caption.size() && count <= MaxShownCodePoints; ++count) {
        starts[count] = at;
        codePoints[count] = decode(caption, at);
    }
    if (count <= MaxShownCodePoints)
        return caption;

    // Back from the first code point not shown, to the start of the character it belongs to.
    std::size_t cut = MaxShownCodePoints;
    const auto joined = [&](std::size_t i) {
        if (joinsPrevious(codePoints[i]) || codePoints[i - 1] == ZeroWidthJoiner)
            return true;
        // Flags are pairs of regional indicators, counted from the first of a run.
        std::size_t run = 0;
        while (run < i && isRegionalIndicator(codePoints[i - 1 - run]))
            ++run;
        return isRegionalIndicator(codePoints[i]) && run % 2 == 1;
    };
    while (cut > 0 && joined(cut))
        --cut;
    return caption.substr(0, starts[cut]);
}
