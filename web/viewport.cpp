#include "viewport.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

namespace viewport {

namespace {

// The least a finger needs, in CSS pixels: each control's size on screen, and the distance
// between two controls stacked one above the other (WCAG's minimum target).
constexpr double FingerPixels = 24;

// How much of the window shows below a field being typed in, above a software keyboard.
constexpr double FieldMargin = 8;

// Under which key the tab keeps a browser's zoom, in millionths, after the viewport it was seen
// in.
constexpr std::string_view ZoomKey = "zoom";
constexpr double Millionths = 1e6;

const design::Control &field(int slot)
{
    return *design::control(design::nameField(slot));
}

const int FieldCount = int(std::count_if(
    design::controls().begin(), design::controls().end(),
    [](const design::Control &control) { return control.kind == design::Kind::TextBox; }));

// How far apart the design stacks the name fields, top to top.
int fieldPitch()
{
    return design::pixels(field(2).rect.top - field(1).rect.top);
}

std::string number(int value)
{
    return std::to_string(value);
}

// The finger's room each row of the name column opens up by, in the unit as it stands.
std::string grow()
{
    return "max(0px, " + styles::px(FingerPixels) + " - var(--u) * " + number(fieldPitch()) + ")";
}

} // namespace

const int ColumnRows = FieldCount - 1;

styles::Rows columnRows(const design::Control &control)
{
    if (control.kind == design::Kind::TextBox)
        return {(control.rect.top - field(1).rect.top) / (field(2).rect.top - field(1).rect.top),
                1};
    if (!control.container.empty())
        return {};
    if (control.kind == design::Kind::Frame)
        return {0, ColumnRows};
    const design::Rect &column = design::control(field(1).container)->rect;
    return {control.rect.top >= column.top + column.height ? ColumnRows : 0};
}

// The largest unit that fits the window in the viewport, times a browser's zoom (--zoom). Held
// upright, a phone's unit would stack the name fields closer than a finger tells apart: each row
// of their column opens up by --grow, and the unit is the largest that still fits the window with
// them. In CSS, so that the page's first bytes place the window: the program only follows the
// zoom, and a keyboard's viewport (--fit-height). Each is the window's width first, divided last:
// an engine that rounds a small length (Firefox, to a 60th of a pixel) would round the unit and
// multiply the error by every length. The viewport is whole pixels, as it is laid out: WebKit
// makes 100vw a 64th of a pixel short.
void defineUnit()
{
    const std::string height = "var(--fit-height, round(100dvh, 1px))";
    const std::string zoomed = "var(--zoom) * ";
    const std::string width = number(ClientWidth);
    page::setStyle(page::Root, "--zoom", "1");
    page::setStyle(page::Root, "--fit",
                   "min(round(100vw, 1px), " + height + " * " + width + " / " + number(WindowHeight)
                       + ")");
    // A viewport too low for the rows' room gives them what is left, down to half the unit.
    page::setStyle(page::Root, "--u",
                   "min(" + zoomed + "var(--fit), max((" + zoomed + height + " - "
                       + styles::px(ColumnRows * FingerPixels) + ") * " + width + " / "
                       + number(WindowHeight - ColumnRows * fieldPitch()) + ", " + zoomed
                       + "var(--fit) / 2)) / " + width);
    page::setStyle(page::Root, "--grow", grow());
}

// The window is a container of its own width (the page's CSS), and its parts measure their unit
// against it: a short formula, where the viewport's, unregistered, would be worked out again in
// each of their lengths, which took a phone's first layout a tenth of a second more.
void unitFromWindow(page::Element part)
{
    page::setStyle(part, "--u", "calc(100cqw / " + number(ClientWidth) + ")");
    page::setStyle(part, "--grow", grow());
}

Fit::Fit(page::Element scroller, page::Element window)
    : m_scroller(scroller)
    , m_window(window)
{ }

// The page's CSS fits the window to the viewport; the program tells it a browser's zoom, and
// keeps the window as it was over a software keyboard. Some browsers shrink the viewport for one
// that opens over a name being typed: the window keeps its size, and moves up as far as the field
// needs to stay in view.
void Fit::follow(page::Element typedIn)
{
    const double width = page::viewportWidth();
    const double height = page::viewportHeight();
    followZoom(width, height);
    page::setStyle(page::Root, "--zoom", styles::decimal(m_zoom));
    page::setAttribute(m_scroller, "class", m_zoom > 1 ? "scroller scrolls" : "scroller");
    if (!keepOverKeyboard(width, height, typedIn)) {
        page::setStyle(page::Root, "--fit-height", "");
        page::setStyle(m_window, "transform", "");
        m_fitted = {width, height, page::bounds(m_window).top};
    }
    // The viewport the window is fitted to once this returns, for whoever waits on the page to
    // have taken a size in.
    page::setAttribute(page::Body, "data-fitted",
                       std::to_string(int(width)) + ' ' + std::to_string(int(height)));
}

bool Fit::keepOverKeyboard(double width, double height, page::Element typedIn)
{
    if (width != m_fitted.width || height >= m_fitted.height || typedIn == page::None)
        return false;
    page::setStyle(page::Root, "--fit-height", styles::px(m_fitted.height));
    page::setStyle(m_window, "transform", "");
    const page::Box window = page::bounds(m_window);
    const double below = height - FieldMargin - (page::bounds(typedIn).bottom - window.top);
    page::setStyle(m_window, "transform",
                   "translateY(" + styles::px(std::min(m_fitted.top, below) - window.top) + ")");
    return true;
}

// A browser's zoom scales the viewport alike across and down while the browser's window keeps
// its size on screen; Chromium and Firefox change the device pixels per CSS pixel with it, WebKit
// keeps them and gives the window's outer size in screen pixels. The window grows with a zoom,
// as a page's text does, past the viewport if need be. A zoom already set when the page loads
// cannot be told from the screen's density: the window fills the viewport then, unless the tab
// saw the zoom before a reload.
void Fit::followZoom(double width, double height)
{
    const Viewport before = m_viewport;
    m_viewport
        = {width, height, page::devicePixelRatio(), page::windowWidth(), page::windowHeight()};
    const Viewport &now = m_viewport;
    std::string seen;
    for (double number :
         {width, height, now.pixelRatio * Millionths, now.outerWidth, now.outerHeight})
        seen += std::to_string(int(number + 0.5)) + ' ';
    if (before.width == 0) {
        restoreZoom(seen);
        return;
    }
    if (width != before.width) {
        // Each size is rounded to a CSS pixel.
        const auto near = [](double a, double b) { return std::abs(a - b) <= 2; };
        const double shrunk = before.width / width;
        if (now.pixelRatio != before.pixelRatio) {
            const double zoom = now.pixelRatio / before.pixelRatio;
            if (near(before.width, width * zoom) && near(before.height, height * zoom))
                m_zoom *= zoom;
        } else if (now.outerWidth == before.outerWidth && now.outerHeight == before.outerHeight
                   && near(before.height, height * shrunk)) {
            m_zoom *= shrunk;
        }
    }
    page::setSessionValue(ZoomKey, seen + std::to_string(int(m_zoom * Millionths + 0.5)));
}

// A reload keeps the zoom the tab had, where the browser still shows the page as it did: seen
// is the viewport as followZoom keeps it.
void Fit::restoreZoom(std::string_view seen)
{
    const std::optional<std::string> kept = page::sessionValue(ZoomKey);
    if (!kept || !kept->starts_with(seen))
        return;
    int zoom = 0;
    for (char digit : kept->substr(seen.size())) {
        if (digit < '0' || digit > '9' || zoom > 100 * Millionths) // not a record of ours
            return;
        zoom = zoom * 10 + (digit - '0');
    }
    if (zoom > 0)
        m_zoom = zoom / Millionths;
}

} // namespace viewport
