#pragma once

#include "design.h"
#include "page.h"

#include <string>
#include <string_view>

// The design's looks as the page's CSS.
namespace styles {

std::string px(int pixels);
// A colour; the page has no system colours, so the standard Windows scheme stands in.
std::string css(Colour colour);
// The design's faces in its order, after a face the page embeds, if any.
void setFont(page::Element element, const design::Font &font, std::string_view embedded = {});
// Positions an absolutely placed control at the design's place, in pixels, over the controls
// that the design lists after it.
// With reach, the element stands that many pixels further above and below the design's place,
// for a finger, while what it draws centred stays put.
void place(page::Element element, const design::Control &control, int reach = 0);
void setColours(page::Element element, Colour background, Colour text);

} // namespace styles
