#pragma once

#include "design.h"
#include "page.h"
#include "styles.h"

#include <string_view>

// The window on the viewport: the unit that fits it there, in CSS, so that the page's first bytes
// place it; the room a finger needs, which opens up the name column of a phone held upright; a
// browser's zoom, followed and kept across a reload; and the window held still over a software
// keyboard.
namespace viewport {

// The menu bar's height, as the Linux build draws it: the client area lies below it.
inline constexpr int MenuBarHeight = 18;
inline constexpr int ClientWidth = design::pixels(design::ClientWidth);
inline constexpr int ClientHeight = design::pixels(design::ClientHeight);
inline constexpr int WindowHeight = MenuBarHeight + ClientHeight;

// A count button takes a finger this far above and below its caption, within the 32 pixels
// between one and the next; the circle and caption stay where the design draws them.
inline constexpr int CountButtonReach = 7;
// The rows of the name column that open up for a finger, between one field and the next.
extern const int ColumnRows;
// The name column's rows that open up above a control and within it: the fields move down by
// the rows above them and grow with their own, so that each shows a finger's height; the frames
// grow by them all, and what lies below the frames moves down.
styles::Rows columnRows(const design::Control &control);

// The window's unit, a design pixel on screen, and the finger's room, on the page's root.
void defineUnit();
// The same for a part of the window and all it holds, from the window's width.
void unitFromWindow(page::Element part);

// Follows the viewport as it changes: fits the window to it, tells a browser's zoom from a
// viewport that changed otherwise, and keeps the window's size over a software keyboard.
class Fit
{
public:
    // The scroller holds the window over the viewport, and scrolls it once a zoom has grown it
    // past the viewport.
    Fit(page::Element scroller, page::Element window);

    // The viewport as it now is; typedIn is the name field that has the keyboard, if any.
    void follow(page::Element typedIn);

private:
    bool keepOverKeyboard(double width, double height, page::Element typedIn);
    void followZoom(double width, double height);
    void restoreZoom(std::string_view seen);

    page::Element m_scroller;
    page::Element m_window;
    // The viewport the window was last fitted to, and where its top stands in it.
    struct
    {
        double width = 0, height = 0, top = 0;
    } m_fitted;
    // What the viewport was at the last resize, for telling a browser's zoom.
    struct Viewport
    {
        double width = 0, height = 0;
        double pixelRatio = 0; // device pixels per CSS pixel
        double outerWidth = 0, outerHeight = 0; // the browser's window
    } m_viewport;
    double m_zoom = 1; // the browser's zoom since the page was loaded, or before a reload
};

} // namespace viewport
