#include "ui/Controls.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/LastError.h"
#include "ui/LinkAccessible.h"

namespace polvane {

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring Control::Text() const { return WindowText(hwnd_); }

void Control::ForgetControlsOf(HWND root) {
  const std::vector<Control*> controls = Objects();
  for (Control* control : controls)
    if (control->root_ == root) {
      control->Unbind();
      control->OnDestroyed();
      control->root_ = nullptr;
    }
}

bool Control::RouteCommand(WPARAM wParam, LPARAM lParam) {
  Control* control = FromHwnd(reinterpret_cast<HWND>(lParam));
  if (!control) return false;
  control->OnNotify(HIWORD(wParam));
  return true;
}

DWORD Control::CreateControl(const Placement& where, const wchar_t* className, const wchar_t* text,
                             DWORD style, DWORD exStyle) {
  SetLastError(ERROR_SUCCESS);
  const RECT& at = where.rect;
  hwnd_ = CreateWindowExW(
      exStyle, className, text, WS_CHILD | WS_VISIBLE | style, at.left, at.top, at.right - at.left,
      at.bottom - at.top, where.parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(where.id)),
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(where.parent, GWLP_HINSTANCE)), nullptr);
  if (!hwnd_) return LastErrorOr(ERROR_INVALID_WINDOW_HANDLE);
  if (where.font) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(where.font), FALSE);
  root_ = GetAncestor(where.parent, GA_ROOT);
  Bind();
  return ERROR_SUCCESS;
}

void Control::Place(const RECT& rect, HFONT font) {
  if (font) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SetWindowPos(hwnd_, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

DWORD Button::Create(const Placement& where, const wchar_t* caption, bool isDefault) {
  return CreateControl(
      where, WC_BUTTONW, caption,
      WS_TABSTOP | static_cast<DWORD>(isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON));
}

void Button::ShowShield(bool shown) { SendMessageW(Hwnd(), BCM_SETSHIELD, 0, shown); }

void Button::OnNotify(WORD code) {
  if (code == BN_CLICKED && onClick) onClick();
}

DWORD CheckBox::Create(const Placement& where, const wchar_t* caption) {
  // BS_3STATE, not an automatic style: the box changes its value only through
  // SetValue, which also raises the click.
  return CreateControl(where, WC_BUTTONW, caption, WS_TABSTOP | BS_3STATE);
}

void CheckBox::OnNotify(WORD code) {
  if (code == BN_CLICKED) ClickAsUser();
}

bool CheckBox::IsEnabled() const { return IsWindowEnabled(Hwnd()) != FALSE; }

// A disabled box loses the keyboard focus; it passes on to the next control
// in tab order rather than to nowhere.
void CheckBox::SetEnabled(bool enabled) {
  const bool hadFocus = GetFocus() == Hwnd();
  EnableWindow(Hwnd(), enabled);
  if (!hadFocus || enabled) return;
  if (HWND next = GetNextDlgTabItem(GetAncestor(Hwnd(), GA_ROOT), Hwnd(), FALSE)) SetFocus(next);
}

CheckValue CheckBox::StoredValue() const {
  return static_cast<CheckValue>(SendMessageW(Hwnd(), BM_GETCHECK, 0, 0));
}

void CheckBox::StoreValue(CheckValue value) {
  SendMessageW(Hwnd(), BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

namespace {

LRESULT CALLBACK ForwardToParent(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
      return SendMessageW(GetParent(hwnd), message, wParam, lParam);
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, ForwardToParent, 0);
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

DWORD GroupBox::Create(const Placement& where) {
  const DWORD failure =
      CreateControl(where, WC_BUTTONW, L"", BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
  if (failure == ERROR_SUCCESS) SetWindowSubclass(Hwnd(), ForwardToParent, 0, 0);
  return failure;
}

namespace {

// The size of hwnd's text in its own font, wrapped at width unless that is 0.
SIZE TextExtent(HWND hwnd, int width) {
  RECT needed{0, 0, width, 0};
  HDC dc = GetDC(hwnd);
  const HGDIOBJ previous =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
  const std::wstring text = WindowText(hwnd);
  DrawTextW(dc, text.c_str(), -1, &needed,
            DT_CALCRECT | DT_NOPREFIX | static_cast<UINT>(width ? DT_WORDBREAK : DT_SINGLELINE));
  SelectObject(dc, previous);
  ReleaseDC(hwnd, dc);
  return {needed.right, needed.bottom};
}

bool ShowsFocus(HWND hwnd) {
  return GetFocus() == hwnd && !(SendMessageW(hwnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

// Around a label's text, a pixel clear of its descenders; inside a picture's
// edge.
RECT FocusRectOf(HWND hwnd) {
  RECT client{};
  GetClientRect(hwnd, &client);
  if ((GetWindowLongW(hwnd, GWL_STYLE) & SS_TYPEMASK) == SS_OWNERDRAW) return client;
  const SIZE text = TextExtent(hwnd, 0);
  return {0, 0, std::min(text.cx + 1, client.right), std::min(text.cy + 2, client.bottom)};
}

void OpenLink(HWND hwnd) {
  SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), STN_CLICKED),
               reinterpret_cast<LPARAM>(hwnd));
}

constexpr LPARAM kKeyWasDown = 1 << 30;  // WM_KEYDOWN: a repeat of a held key

// A static that Tab reaches, that shows the focus, that Enter or Space opens
// as a click does, and that accessibility tools are told is a link.
LRESULT CALLBACK BehaveAsLink(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR) {
  switch (message) {
    case WM_GETDLGCODE:
      // Enter opens the link here rather than pressing the default button.
      if (const auto* key = reinterpret_cast<const MSG*>(lParam);
          key && key->message == WM_KEYDOWN &&
          (key->wParam == VK_RETURN || key->wParam == VK_SPACE))
        return DLGC_WANTMESSAGE;
      break;
    case WM_KEYDOWN:
      if (wParam != VK_RETURN && wParam != VK_SPACE) break;
      if (!(lParam & kKeyWasDown)) OpenLink(hwnd);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE:
      InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      HDC dc = BeginPaint(hwnd, &paint);
      DefSubclassProc(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
      if (ShowsFocus(hwnd)) {
        const RECT focus = FocusRectOf(hwnd);
        DrawFocusRect(dc, &focus);
      }
      EndPaint(hwnd, &paint);
      return 0;
    }
    case WM_GETOBJECT:
      if (static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT))
        if (const LRESULT answer = AnswerLinkObject(hwnd, wParam)) return answer;
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, BehaveAsLink, 0);
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

constexpr DWORD kLinkStyle = WS_TABSTOP | SS_NOTIFY;

void MakeLink(HWND hwnd) { SetWindowSubclass(hwnd, BehaveAsLink, 0, 0); }

}  // namespace

DWORD Label::Create(const Placement& where, const std::wstring& text, bool isLink) {
  const DWORD failure = CreateControl(where, WC_STATICW, text.c_str(),
                                      SS_LEFT | SS_NOPREFIX | (isLink ? kLinkStyle : 0));
  if (failure == ERROR_SUCCESS && isLink) MakeLink(Hwnd());
  return failure;
}

void Label::OnNotify(WORD code) {
  if (code == STN_CLICKED && onClick) onClick();
}

void Label::GrowToFitText() {
  RECT box{};
  GetClientRect(Hwnd(), &box);
  const SIZE needed = TextExtent(Hwnd(), box.right);
  if (needed.cy > box.bottom)
    SetWindowPos(Hwnd(), nullptr, 0, 0, box.right, needed.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

DWORD Panel::Create(const Placement& where) {
  const DWORD failure = CreateControl(where, WC_STATICW, L"", SS_LEFT | WS_CLIPCHILDREN,
                                      WS_EX_CLIENTEDGE | WS_EX_CONTROLPARENT);
  if (failure == ERROR_SUCCESS) SetWindowSubclass(Hwnd(), ForwardToParent, 0, 0);
  return failure;
}

namespace {

// An owner-drawn static holds no image of its own: the box answers the
// questions a program reading the window (a magnifier, an automation tool)
// asks a static about what it shows.
LRESULT CALLBACK AnswerImage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR box) {
  switch (message) {
    case STM_GETICON:
      return reinterpret_cast<LRESULT>(reinterpret_cast<const ImageBox*>(box)->Image(IMAGE_ICON));
    case STM_GETIMAGE:
      return reinterpret_cast<LRESULT>(reinterpret_cast<const ImageBox*>(box)->Image(wParam));
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, AnswerImage, 0);
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

DWORD ImageBox::Create(const Placement& where, const wchar_t* linkName) {
  // An owner-drawn static never shows its text: it is the link's name alone.
  const DWORD failure = CreateControl(where, WC_STATICW, linkName ? linkName : L"",
                                      SS_OWNERDRAW | (linkName ? kLinkStyle : 0));
  if (failure != ERROR_SUCCESS) return failure;
  SetWindowSubclass(Hwnd(), AnswerImage, 0, reinterpret_cast<DWORD_PTR>(this));
  if (linkName) MakeLink(Hwnd());
  return ERROR_SUCCESS;
}

HANDLE ImageBox::Image(WPARAM kind) const {
  if (kind == IMAGE_ICON) return icon_;
  OLE_HANDLE bitmap = 0;
  if (kind != IMAGE_BITMAP || !picture_ || FAILED(picture_->get_Handle(&bitmap))) return nullptr;
  return reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(bitmap));
}

void ImageBox::SetIcon(HICON icon, int size) {
  icon_ = icon;
  iconSize_ = size;
  InvalidateRect(Hwnd(), nullptr, TRUE);
}

void ImageBox::SetPicture(IPicture* picture) {
  picture_ = picture;
  InvalidateRect(Hwnd(), nullptr, TRUE);
}

void ImageBox::OnDestroyed() {
  Control::OnDestroyed();
  icon_ = nullptr;
  picture_ = nullptr;
}

void ImageBox::OnNotify(WORD code) {
  if (code == STN_CLICKED && onClick) onClick();
}

void ImageBox::Draw(const DRAWITEMSTRUCT& item) {
  const RECT& r = item.rcItem;
  const auto background = reinterpret_cast<HBRUSH>(
      SendMessageW(GetParent(Hwnd()), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(item.hDC),
                   reinterpret_cast<LPARAM>(Hwnd())));
  FillRect(item.hDC, &r, background ? background : GetSysColorBrush(COLOR_BTNFACE));
  if (icon_)
    DrawIconEx(item.hDC, r.left, r.top, icon_, iconSize_, iconSize_, 0, nullptr, DI_NORMAL);
  if (picture_) {
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture_->get_Width(&width);
    picture_->get_Height(&height);
    picture_->Render(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, 0, height, width,
                     -height, nullptr);
  }
}

}  // namespace polvane
