#include "styles.h"

#include <cmath>

namespace styles {

namespace {

std::string quoted(std::string_view face)
{
    return '"' + std::string(face) + '"';
}

} // namespace

std::string scaled(int pixels, int rows)
{
    std::string length = "calc(var(--u) * " + std::to_string(pixels);
    if (rows != 0)
        length += " + var(--grow) * " + std::to_string(rows);
    return length + ')';
}

// To a millionth, in whole numbers: formatting a double would bring printf's float code into
// the page's download.
std::string decimal(double value)
{
    const long long millionths = std::llround(std::abs(value) * 1e6);
    std::string text = (value < 0 ? "-" : "") + std::to_string(millionths / 1000000);
    if (const long long fraction = millionths % 1000000; fraction != 0) {
        std::string digits = std::to_string(1000000 + fraction).substr(1);
        digits.erase(digits.find_last_not_of('0') + 1);
        text += '.' + digits;
    }
    return text;
}

std::string px(double pixels)
{
    return decimal(pixels) + "px";
}

std::string css(Colour colour)
{
    const Colour rgb = design::standardSchemeColour(colour);
    std::string text = "#";
    for (int shift : {0, 8, 16}) { // red, green, blue
        const unsigned byte = (rgb >> shift) & 0xFF;
        text += "0123456789ABCDEF"[byte >> 4];
        text += "0123456789ABCDEF"[byte & 0xF];
    }
    return text;
}

void setFont(page::Element element, const design::Font &font, std::string_view embedded)
{
    std::string families = embedded.empty() ? std::string() : quoted(embedded) + ", ";
    for (std::string_view face : font.faces)
        families += quoted(face) + ", ";
    page::setStyle(element, "font-family", families + "sans-serif");
    page::setStyle(element, "font-size", scaled(font.pixelSize));
    page::setStyle(element, "font-weight", std::to_string(font.weight));
}

void place(page::Element element, const design::Control &control, int reach, Rows rows)
{
    const design::Rect &twips = control.rect;
    const std::span<const design::Control> controls = design::controls();
    page::setAttribute(element, "class", "control");
    page::setStyle(element, "z-index",
                   std::to_string(controls.data() + controls.size() - &control));
    page::setStyle(element, "left", scaled(design::pixels(twips.left)));
    page::setStyle(element, "top", scaled(design::pixels(twips.top) - reach, rows.above));
    page::setStyle(element, "width", scaled(design::pixels(twips.width)));
    page::setStyle(element, "height",
                   scaled(design::pixels(twips.height) + 2 * reach, rows.within));
}

void setColours(page::Element element, Colour background, Colour text)
{
    page::setStyle(element, "background-color", css(background));
    page::setStyle(element, "color", css(text));
}

} // namespace styles
