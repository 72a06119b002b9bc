#pragma once

#include "kazerimawindow.h"
#include "page.h"

// The page's one modal box, which shows the version text and the missing-name message: the rest
// of the page takes no click or key until it is dismissed, by its OK, Enter or Escape. It grows
// with the window, in the window's faces.
class Box
{
public:
    // The box, the last child of the page's body, closed.
    Box();

    void show(const MessageBoxRequest &request);
    // A click on element: whether it was the box's OK, which dismisses the box.
    bool clicked(page::Element element);

private:
    page::Element m_box = page::None;
    page::Element m_title = page::None;
    page::Element m_icon = page::None;
    page::Element m_prompt = page::None;
    page::Element m_ok = page::None;
};
