#pragma once

#include "design.h"

#include <array>
#include <string>
#include <string_view>

// The controls whose fixed captions the page draws in faces of its own, cut at build time to
// the glyphs of those captions from the Debian faces the Linux build shows them in: the
// design's faces for them come with Office alone, so a phone would show its own instead.
namespace embeddedfaces {

inline constexpr std::array Controls
    = {design::TitleLabel, design::StartButton, design::StopButton};

// The CSS family a control's embedded face goes by.
inline std::string family(std::string_view control)
{
    return "Kazerima " + std::string(control);
}

} // namespace embeddedfaces
