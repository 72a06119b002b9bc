#include "kazerima.h"

#include "messagebox.h"
#include "text.h"
#include "windowproc.h"

#include <algorithm>
#include <initguid.h> // defines the accessibility GUIDs below, once, in this file
#include <oleacc.h>

namespace {

constexpr wchar_t ClassName[] = L"Kazerima";
constexpr DWORD WindowStyle
    = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr int FirstControlId = 100; // clear of IDOK and IDCANCEL, which the system may send
constexpr int FirstMenuItemId = 1000;
// Sent to the window by a count button turned on, whoever turned it on; lParam is the button.
constexpr UINT CountTurnedOn = WM_APP + 2;

// The per-monitor DPI calls arrived in Windows 10 1607; earlier systems get the system DPI.
UINT windowDpi(HWND hwnd)
{
    using GetDpiForWindowFn = UINT(WINAPI *)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"user32"), "GetDpiForWindow")));
    if (getDpiForWindow)
        return getDpiForWindow(hwnd);
    HDC dc = GetDC(hwnd);
    const UINT dpi = static_cast<UINT>(GetDeviceCaps(dc, LOGPIXELSX));
    ReleaseDC(hwnd, dc);
    return dpi;
}

void adjustWindowRect(RECT *rect, DWORD style, DWORD exStyle, UINT dpi)
{
    using AdjustFn = BOOL(WINAPI *)(RECT *, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = reinterpret_cast<AdjustFn>(reinterpret_cast<void *>(
        GetProcAddress(GetModuleHandleW(L"user32"), "AdjustWindowRectExForDpi")));
    if (adjustForDpi)
        adjustForDpi(rect, style, TRUE, exStyle, dpi);
    else
        AdjustWindowRectEx(rect, style, TRUE, exStyle);
}

COLORREF resolve(Colour colour)
{
    return design::isSystemColour(colour) ? GetSysColor(design::systemColourIndex(colour))
                                          : static_cast<COLORREF>(colour);
}

// The first of the faces that is installed with Japanese glyphs; the last one when none is.
std::wstring installedFace(const design::Font &font)
{
    HDC dc = GetDC(nullptr);
    std::wstring found;
    for (std::string_view face : font.faces) {
        LOGFONTW wanted {};
        wanted.lfCharSet = SHIFTJIS_CHARSET;
        const std::wstring name = toWide(face);
        name.copy(wanted.lfFaceName, LF_FACESIZE - 1);
        bool installed = false;
        EnumFontFamiliesExW(
            dc, &wanted,
            [](const LOGFONTW *, const TEXTMETRICW *, DWORD, LPARAM installed) {
                *reinterpret_cast<bool *>(installed) = true;
                return 0;
            },
            reinterpret_cast<LPARAM>(&installed), 0);
        found = name;
        if (installed)
            break;
    }
    ReleaseDC(nullptr, dc);
    return found;
}

HFONT createFont(const design::Font &font, UINT dpi)
{
    static std::map<const design::Font *, std::wstring> faces;
    auto face = faces.find(&font);
    if (face == faces.end())
        face = faces.emplace(&font, installedFace(font)).first;

    LOGFONTW logFont {};
    logFont.lfHeight = -MulDiv(font.pixelSize, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
    logFont.lfWeight = font.weight;
    logFont.lfCharSet = SHIFTJIS_CHARSET;
    face->second.copy(logFont.lfFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectW(&logFont);
}

// Screen readers name a field by this; its caption would say nothing of which field it is.
void setAccessibleName(HWND control, std::string_view name)
{
    IAccPropServices *services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void **>(&services))))
        return;
    const std::wstring wide = toWide(name);
    services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                             PROPID_ACC_NAME, wide.c_str());
    services->Release();
}

WNDPROC groupBoxProc = nullptr;
WNDPROC buttonProc = nullptr;

// Posted messages come before input in the queue: a frame's tick can be taken while a press
// made before it still waits.
bool inputWaiting()
{
    return HIWORD(GetQueueStatus(QS_INPUT)) != 0;
}

} // namespace

Kazerima::Kazerima(HINSTANCE instance, std::unique_ptr<VBlankSource> vblank)
    : m_timer(std::move(vblank))
{
    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = objectWindowProc<Kazerima>;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, L"IDI_ICON1");
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground
        = GetSysColorBrush(design::systemColourIndex(design::WindowBackground));
    windowClass.lpszClassName = ClassName;
    RegisterClassExW(&windowClass);

    HMENU menuBar = CreateMenu();
    int id = FirstMenuItemId;
    for (const design::Menu &menu : design::menus()) {
        HMENU items = CreatePopupMenu();
        for (const design::MenuItem &item : menu.items) {
            AppendMenuW(items, MF_STRING, static_cast<UINT_PTR>(id++),
                        toWide(item.caption).c_str());
            m_menuItems.push_back(&item);
        }
        AppendMenuW(menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(items),
                    toWide(menu.caption).c_str());
    }

    CreateWindowExW(0, ClassName, toWide(design::WindowCaption).c_str(), WindowStyle, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menuBar, instance, this);
    createControls();
    applyDpi(windowDpi(m_hwnd));
    setMessageBoxPresenter(
        [this](const MessageBoxRequest &request) { showModalMessageBox(m_hwnd, request); });
}

Kazerima::~Kazerima()
{
    if (IsWindow(m_hwnd))
        DestroyWindow(m_hwnd);
    for (HFONT font : m_fonts)
        DeleteObject(font);
    for (const auto &[colour, brush] : m_brushes)
        DeleteObject(brush);
}

void Kazerima::createControls()
{
    std::map<std::string_view, HWND> containers {{std::string_view(), m_hwnd}};
    const std::span<const design::Control> controls = design::controls();
    // The table lists each frame before the controls it holds.
    for (std::size_t index = 0; index < controls.size(); ++index) {
        const design::Control &design = controls[index];
        if (design.kind == design::Kind::Timer)
            continue;
        HWND hwnd = createControl(design, containers.at(design.container),
                                  FirstControlId + static_cast<int>(index));
        if (design.kind == design::Kind::Frame)
            containers[design.name] = hwnd;
        if (!design.accessibleName.empty())
            setAccessibleName(hwnd, design.accessibleName);
        m_controls.emplace_back(&design, hwnd);
    }
    // Topmost first, as the table lists them.
    for (const auto &[design, hwnd] : m_controls)
        SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    for (int slot = 1; slot <= 5; ++slot)
        m_names[slot - 1] = control(design::nameField(slot));
    for (int count = 2; count <= 5; ++count)
        m_options[count - 2] = control(design::optionButton(count));
    m_startButton = control(design::StartButton);
    m_stopButton = control(design::StopButton);
}

HWND Kazerima::createControl(const design::Control &design, HWND parent, int id)
{
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(m_hwnd, GWLP_HINSTANCE));
    const std::wstring caption = toWide(design.caption);
    const auto create = [&](const wchar_t *className, DWORD style, DWORD exStyle = 0) {
        return CreateWindowExW(exStyle, className, caption.c_str(),
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, 0, 0, 0, 0, parent,
                               reinterpret_cast<HMENU>(INT_PTR(id)), instance, nullptr);
    };
    switch (design.kind) {
    case design::Kind::Frame: {
        HWND frame = create(L"BUTTON", BS_GROUPBOX | WS_CLIPCHILDREN);
        // A group box passes nothing on to its owner: the controls inside it would send
        // their clicks and colour requests to a window that ignores them.
        groupBoxProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(frameProc)));
        return frame;
    }
    case design::Kind::OptionButton: {
        HWND option = create(L"BUTTON", BS_AUTORADIOBUTTON);
        SendMessageW(option, BM_SETCHECK, design.on ? BST_CHECKED : BST_UNCHECKED, 0);
        buttonProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(option, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(countProc)));
        return option;
    }
    case design::Kind::TextBox: {
        HWND field = create(L"EDIT", ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
        // Windows would stop a field at 32,767 characters; the design sets no limit.
        SendMessageW(field, EM_SETLIMITTEXT, 0, 0);
        return field;
    }
    case design::Kind::Label:
        if (design.name != design::ResultLabel)
            return create(L"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX);
        m_result = std::make_unique<ResultLabel>(parent, id);
        m_result->setBackColour(resolve(design.background));
        m_result->setTextColour(resolve(design.text));
        return m_result->hwnd();
    case design::Kind::PushButton:
        return create(L"BUTTON", BS_PUSHBUTTON);
    case design::Kind::Timer:
        break; // no window: the FrameClock is Timer1's
    }
    return nullptr;
}

HWND Kazerima::control(std::string_view name) const
{
    const auto found = std::ranges::find(m_controls, name,
                                         [](const auto &control) { return control.first->name; });
    return found == m_controls.end() ? nullptr : found->second;
}

// Twips at 96 dpi are whole pixels; at other densities they scale with the window's DPI.
void Kazerima::applyDpi(UINT dpi)
{
    const auto scale = [dpi](int twips) {
        return MulDiv(design::pixels(twips), static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
    };

    std::vector<HFONT> oldFonts = std::move(m_fonts);
    std::map<const design::Font *, HFONT> fonts;
    const auto fontFor = [&](const design::Font *font) {
        if (!font)
            font = &design::userInterfaceFont();
        auto &created = fonts[font];
        if (!created)
            m_fonts.push_back(created = createFont(*font, dpi));
        return created;
    };

    for (const auto &[design, hwnd] : m_controls) {
        const design::Rect &rect = design->rect;
        SetWindowPos(hwnd, nullptr, scale(rect.left), scale(rect.top), scale(rect.width),
                     scale(rect.height), SWP_NOZORDER | SWP_NOACTIVATE);
        if (hwnd == m_result->hwnd())
            m_result->setFont(fontFor(design->font));
        else
            SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(design->font)), TRUE);
    }
    for (HFONT font : oldFonts)
        DeleteObject(font);

    // The client area is the design's size below the menu bar, however tall the bar is drawn.
    const int width = scale(design::ClientWidth);
    const int height = scale(design::ClientHeight);
    RECT frame {0, 0, width, height};
    adjustWindowRect(&frame, WindowStyle, 0, dpi);
    SetWindowPos(m_hwnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(m_hwnd, &client);
    if (client.bottom != height || client.right != width) {
        SetWindowPos(m_hwnd, nullptr, 0, 0, frame.right - frame.left + width - client.right,
                     frame.bottom - frame.top + height - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

void Kazerima::show(int showCommand)
{
    if (!m_loaded) {
        m_loaded = true;
        load();
    }
    ShowWindow(m_hwnd, showCommand);
    UpdateWindow(m_hwnd);
}

// Runs once, just before the window first appears.
void Kazerima::load()
{
    runLoadStep();
    m_focusOnDeactivate = GetFocus(); // taken when the window is first activated
}

bool Kazerima::handleKey(const MSG &message)
{
    if (message.message != WM_KEYDOWN)
        return false;
    HWND focused = GetFocus();
    if (!focused || !IsChild(m_hwnd, focused))
        return false;
    const bool onCount = std::ranges::find(m_options, focused) != m_options.end();
    switch (message.wParam) {
    case VK_TAB:
        if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0)
            return false;
        showFocusCues();
        moveFocus(GetKeyState(VK_SHIFT) >= 0);
        return true;
    case 'A':
        // Ctrl+A selects a whole name, as current Windows' own fields do; the classic edit
        // control would take it as a character.
        if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0
            || std::ranges::find(m_names, focused) == m_names.end())
            return false;
        SendMessageW(focused, EM_SETSEL, 0, -1);
        return true;
    case VK_RETURN:
        // Return clicks a focused push button; neither button is a default button, so
        // elsewhere it does nothing (and a name field does not beep).
        if (focused == m_startButton || focused == m_stopButton)
            SendMessageW(focused, BM_CLICK, 0, 0);
        return true;
    case VK_UP:
    case VK_LEFT:
        if (!onCount)
            return false;
        showFocusCues();
        moveWithinCounts(-1);
        return true;
    case VK_DOWN:
    case VK_RIGHT:
        if (!onCount)
            return false;
        showFocusCues();
        moveWithinCounts(1);
        return true;
    }
    return false;
}

// Once the keyboard moves the focus, the focus is drawn, as in any dialog.
void Kazerima::showFocusCues()
{
    SendMessageW(m_hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

const design::Control *Kazerima::designOf(HWND control) const
{
    const auto found = std::ranges::find(m_controls, control,
                                         [](const auto &control) { return control.second; });
    return found == m_controls.end() ? nullptr : found->first;
}

void Kazerima::moveFocus(bool forward)
{
    const design::Control *focused = designOf(GetFocus());
    const std::string_view to = nextTabStop(
        focused ? focused->name : std::string_view(), forward, [this](std::string_view name) {
            HWND candidate = control(name);
            return IsWindowVisible(candidate) && IsWindowEnabled(candidate);
        });
    if (to.empty())
        return;
    HWND next = control(to);
    SetFocus(next);
    // A field entered by Tab has its text selected, as in any dialog.
    if (std::ranges::find(m_names, next) != m_names.end())
        SendMessageW(next, EM_SETSEL, 0, -1);
}

// Arrow keys move among the count buttons and turn on the one they reach, as in any group.
void Kazerima::moveWithinCounts(int step)
{
    const auto found = std::ranges::find(m_options, GetFocus());
    const int count = static_cast<int>(m_options.size());
    const int index
        = ((static_cast<int>(found - m_options.begin()) + step) % count + count) % count;
    HWND next = m_options[static_cast<std::size_t>(index)];
    // Checked directly rather than clicked: a click is a mouse's, and takes the focus cue
    // away with it.
    SendMessageW(next, BM_SETCHECK, BST_CHECKED, 0);
    SetFocus(next);
}

// One count button is on at a time, as in any group, and the idle tick that follows takes it in.
void Kazerima::countTurnedOn(HWND on)
{
    for (HWND option : m_options) {
        if (option != on)
            SendMessageW(option, BM_SETCHECK, BST_UNCHECKED, 0);
    }
    changed();
}

HBRUSH Kazerima::brush(Colour colour)
{
    HBRUSH &brush = m_brushes[colour];
    if (!brush)
        brush = CreateSolidBrush(resolve(colour));
    return brush;
}

// The classic controls take their colours from their owner; themed ones would ignore them,
// which is why the program asks for no visual styles.
LRESULT Kazerima::colourControl(UINT message, HDC dc, HWND control)
{
    const design::Control *design = designOf(control);
    if (!design)
        return DefWindowProcW(m_hwnd, message, reinterpret_cast<WPARAM>(dc),
                              reinterpret_cast<LPARAM>(control));
    SetTextColor(dc, resolve(design->text));
    SetBkColor(dc, resolve(design->background));
    return reinterpret_cast<LRESULT>(brush(design->background));
}

LRESULT CALLBACK Kazerima::frameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
        return SendMessageW(GetParent(hwnd), message, wParam, lParam);
    case WM_ERASEBKGND: {
        // A group box leaves its inside unpainted; the design fills it with the frame's colour.
        auto background = reinterpret_cast<HBRUSH>(SendMessageW(
            GetParent(hwnd), WM_CTLCOLORSTATIC, wParam, reinterpret_cast<LPARAM>(hwnd)));
        RECT rect;
        GetClientRect(hwnd, &rect);
        FillRect(reinterpret_cast<HDC>(wParam), &rect, background);
        return 1;
    }
    }
    return CallWindowProcW(groupBoxProc, hwnd, message, wParam, lParam);
}

// A click, Space or an assistive technology's BM_CLICK notify the owner (BN_CLICKED), but a
// check set directly, by the arrow keys or by a BM_SETCHECK sent from outside, tells nobody.
LRESULT CALLBACK Kazerima::countProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CallWindowProcW(buttonProc, hwnd, message, wParam, lParam);
    if (message == BM_SETCHECK && wParam == BST_CHECKED)
        SendMessageW(GetAncestor(hwnd, GA_ROOT), CountTurnedOn, 0, reinterpret_cast<LPARAM>(hwnd));
    return result;
}

LRESULT Kazerima::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case FrameClock::FrameMessage:
        // A frame posted just before the clock stopped is nobody's. A tick paints the result box
        // before it returns.
        if (m_timer.take(lParam) && m_timer.isActive())
            frame(FrameClock::frameTimeMs(lParam), inputWaiting());
        return 0;
    case CountTurnedOn:
        countTurnedOn(reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_ENTERIDLE:
        // A menu's or a box's own loop has found its queue empty, and the program's loop would
        // not run again before that loop ends. Asked here, the queue would forget that a message
        // had just come, and a menu, which waits for news, would sleep on it.
        inputHandled();
        break;
    case WM_COMMAND: {
        const auto sender = reinterpret_cast<HWND>(lParam);
        if (const design::Control *design = sender ? designOf(sender) : nullptr) {
            if (HIWORD(wParam) == BN_CLICKED && design->kind == design::Kind::OptionButton)
                changed(); // the idle tick that follows takes the count in
            else if (HIWORD(wParam) == BN_CLICKED)
                activate(*design);
            else if (HIWORD(wParam) == EN_CHANGE)
                edited(*design);
            return 0;
        }
        const std::size_t item = LOWORD(wParam) - std::size_t(FirstMenuItemId);
        if (!sender && HIWORD(wParam) == 0 && item < m_menuItems.size()) {
            activate(*m_menuItems[item]);
            return 0;
        }
        break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
        return colourControl(message, reinterpret_cast<HDC>(wParam),
                             reinterpret_cast<HWND>(lParam));
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            m_focusOnDeactivate = GetFocus();
        } else if (m_focusOnDeactivate) {
            SetFocus(m_focusOnDeactivate);
            return 0;
        }
        break;
    case WM_DPICHANGED: {
        const auto *suggested = reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(m_hwnd, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        applyDpi(HIWORD(wParam));
        return 0;
    }
    case WM_DISPLAYCHANGE:
        m_timer.displaysChanged();
        break;
    case WM_DESTROY:
        m_timer.stop();
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

std::string Kazerima::fieldText(const design::Control &field)
{
    HWND hwnd = control(field.name);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return toUtf8(text);
}

void Kazerima::setShown(const design::Control &control, bool shown)
{
    HWND hwnd = this->control(control.name);
    if (!shown && GetFocus() == hwnd)
        moveFocus(true); // a hidden control keeps no focus
    ShowWindow(hwnd, shown ? SW_SHOWNA : SW_HIDE);
}

bool Kazerima::isOn(const design::Control &option)
{
    return SendMessageW(control(option.name), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// The result box is the one label whose caption and colour change.
void Kazerima::setCaption(const design::Control &, std::string_view caption)
{
    m_result->setCaption(toWide(caption));
}

void Kazerima::setBackColour(const design::Control &, Colour colour)
{
    m_result->setBackColour(resolve(colour));
}

void Kazerima::announce(const design::Control &)
{
    m_result->announce();
}

void Kazerima::focus(const design::Control &control)
{
    SetFocus(this->control(control.name));
}

// A menu chosen posts its command: the tick that waited for the click waits for that too, so
// that ストップ chosen from the menu stops on the name shown when it was clicked.
void Kazerima::afterMessage()
{
    if (HIWORD(GetQueueStatus(QS_INPUT | QS_POSTMESSAGE)) == 0)
        inputHandled();
}

void Kazerima::runFrames(bool run)
{
    if (run)
        m_timer.start(m_hwnd);
    else
        m_timer.stop();
}

void handleMessage(Kazerima &window, const MSG &message)
{
    if (!window.handleKey(message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    window.afterMessage();
}

int runMessageLoop(Kazerima &window)
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        handleMessage(window, message);
    return static_cast<int>(message.wParam);
}
