#pragma once

#include "design.h"
#include "page.h"

#include <string>
#include <string_view>

// The design's looks as the page's CSS.
namespace styles {

// A length of the design's pixels, in the page's unit (--u, a design pixel on screen), and
// the fields' rows more: the finger's room each row of the name column opens up by (--grow).
std::string scaled(int pixels, int rows = 0);
// A number as CSS writes it, to a millionth.
std::string decimal(double value);
// A length of CSS pixels, as the browser measures it.
std::string px(double pixels);
// A colour; the page has no system colours, so the standard Windows scheme stands in.
std::string css(Colour colour);
// The design's faces in its order, after a face the page embeds, if any.
void setFont(page::Element element, const design::Font &font, std::string_view embedded = {});
// Positions an absolutely placed control at the design's place, scaled, over the controls
// that the design lists after it.
// With reach, the element stands that many pixels further above and below the design's place,
// for a finger, while what it draws centred stays put. Rows are the name column's rows that open
// up above the control, moving it down, and within it, making it taller.
struct Rows
{
    int above = 0, within = 0;
};
void place(page::Element element, const design::Control &control, int reach = 0, Rows rows = {});
void setColours(page::Element element, Colour background, Colour text);

} // namespace styles
