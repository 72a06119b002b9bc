#include "box.h"

#include "styles.h"
#include "viewport.h"

#include <string>

Box::Box()
{
    m_box = page::create(page::Body, "dialog");
    page::setAttribute(m_box, "class", "box");
    // A box grows with the window, but not past the viewport's fit: grown further by a browser's
    // zoom, it would hide its OK below the viewport.
    page::setStyle(m_box, "--u",
                   "calc(min(1, var(--zoom)) * var(--fit) / "
                       + std::to_string(viewport::ClientWidth) + ")");
    page::setAttribute(m_box, "lang", "ja");
    styles::setFont(m_box, design::userInterfaceFont());
    m_title = page::create(m_box, "div", "box-title");
    page::setAttribute(m_title, "class", "box-title");
    page::setAttribute(m_box, "aria-labelledby", "box-title");
    const page::Element body = page::create(m_box, "div");
    page::setAttribute(body, "class", "box-body");
    m_icon = page::create(body, "div");
    page::setAttribute(m_icon, "class", "box-icon");
    page::setAttribute(m_icon, "role", "img");
    page::setAttribute(m_icon, "aria-label", "エラー");
    m_prompt = page::create(body, "div", "box-prompt");
    page::setAttribute(m_prompt, "class", "box-prompt");
    page::setAttribute(m_box, "aria-describedby", "box-prompt");
    m_ok = page::create(m_box, "button");
    page::setAttribute(m_ok, "type", "button");
    page::setAttribute(m_ok, "class", "box-ok");
    page::setAttribute(m_ok, "autofocus", "");
    page::setText(m_ok, "OK");
    page::listen(m_ok, page::EventType::Click);
    page::listen(m_box, page::EventType::Close);
}

void Box::show(const MessageBoxRequest &request)
{
    page::setText(m_title, request.shownTitle());
    page::setHidden(m_icon, (request.style & MsgBoxCritical) == 0);
    page::setText(m_prompt, request.shownPrompt());
    page::showModal(m_box);
}

bool Box::clicked(page::Element element)
{
    if (element != m_ok)
        return false;
    page::close(m_box);
    return true;
}
