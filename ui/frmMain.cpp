#include "ui/frmMain.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/Elevation.h"
#include "platform/LastError.h"
#include "platform/PolicyNotice.h"
#include "platform/SystemMessage.h"
#include "ui/MessageBox.h"
#include "platform/Text.h"
#include "platform/ChosenUser.h"
#include "rules/WindowEdits.h"
#include "rules/Messages.h"
#include "rules/mdlMain.h"
#include "resources/resource.h"
#include "ui/Dpi.h"
#include "ui/Fonts.h"
#include "ui/Icons.h"
#include "ui/Layout.h"

namespace polvane {
namespace {

constexpr Twips kClientArea{0, 0, 4470, 2580};
constexpr Twips kFraMain{120, 120, 4215, 1860};
constexpr std::array<Twips, 2> kChkOption{{{240, 120, 1650, 195}, {480, 2160, 1050, 195}}};
constexpr std::array<Twips, 4> kChkSubOption{
    {{360, 480, 3855, 195}, {360, 840, 3855, 195}, {360, 1200, 3855, 195}, {360, 1560, 3855, 195}}};
constexpr Twips kCmdSave{1605, 2100, 1260, 345};
constexpr Twips kCmdExit{2955, 2100, 1260, 345};

constexpr std::array<const wchar_t*, 2> kOptionCaptions{L"Disable Messenger", L"All Users"};
constexpr std::array<const wchar_t*, 4> kSubOptionCaptions{
    L"Disable file transfer", L"Disable voice conversations", L"Disable phone calls",
    L"Disable video"};
constexpr std::array<int, 2> kOptionIds{IDC_CHK_OPTION_0, IDC_CHK_OPTION_1};
constexpr std::array<int, 4> kSubOptionIds{IDC_CHK_SUB_OPTION_0, IDC_CHK_SUB_OPTION_1,
                                           IDC_CHK_SUB_OPTION_2, IDC_CHK_SUB_OPTION_3};
constexpr char kMasterTooltip[] = "Stop Messeger from being able to run";
// Between a check box's mark and its caption, and beside a button's caption.
constexpr int kCaptionGapTwips = 60;
constexpr int kButtonMarginTwips = 90;

// Each control's place at a dpi, in its parent's client coordinates: the
// master option and the first sub-option are in the frame's.
struct Places {
  RECT frame;
  std::array<RECT, 2> option;
  std::array<RECT, 4> subOption;
  RECT save, exit;
};

// The caption's width in the font selected into dc.
int CaptionWidth(HDC dc, const wchar_t* caption) {
  SIZE size{};
  GetTextExtentPoint32W(dc, caption, lstrlenW(caption), &size);
  return size.cx;
}

// Widens box to content, its left edge kept, but not past limit.
void Widen(RECT& box, LONG content, LONG limit) {
  box.right = std::max(box.right, std::min(box.left + content, limit));
}

// The layout's places, each control widened where its caption in font would
// not fit (a wider face mapped to "MS Shell Dlg"), within the frame or up to
// its right-hand neighbour.
Places PlacesAt(int dpi, HWND window, HFONT font) {
  Places at{};
  at.frame = PixelRect(kFraMain, dpi);
  const POINT inFrame{at.frame.left, at.frame.top};
  at.option = {PixelRect(kChkOption[0], dpi, inFrame), PixelRect(kChkOption[1], dpi)};
  for (std::size_t i = 0; i < kChkSubOption.size(); ++i)
    at.subOption[i] = PixelRect(kChkSubOption[i], dpi, i == 0 ? inFrame : POINT{0, 0});
  at.save = PixelRect(kCmdSave, dpi);
  at.exit = PixelRect(kCmdExit, dpi);

  HDC dc = GetDC(window);
  const HGDIOBJ previous = SelectObject(dc, font);
  const int gap = TwipsToPixels(kCaptionGapTwips, dpi);
  const int mark = SystemMetricAt(SM_CXMENUCHECK, dpi) + gap;
  const int margin = 2 * TwipsToPixels(kButtonMarginTwips, dpi);
  // Inside the frame, as far from its right side as the sub-options' left
  // edge is from its left.
  const LONG inner = at.frame.right - at.frame.left - at.subOption[0].left;
  Widen(at.option[0], mark + CaptionWidth(dc, kOptionCaptions[0]), inner);
  Widen(at.subOption[0], mark + CaptionWidth(dc, kSubOptionCaptions[0]), inner);
  for (std::size_t i = 1; i < at.subOption.size(); ++i)
    Widen(at.subOption[i], mark + CaptionWidth(dc, kSubOptionCaptions[i]), at.frame.left + inner);
  Widen(at.option[1], mark + CaptionWidth(dc, kOptionCaptions[1]), at.save.left - gap);
  Widen(at.save, margin + CaptionWidth(dc, L"Save"), at.exit.left - gap);
  Widen(at.exit, margin + CaptionWidth(dc, L"Exit"), at.frame.right);
  SelectObject(dc, previous);
  ReleaseDC(window, dc);
  return at;
}

// The master option's tooltip is made once the window has painted and waits
// for input: no one points at a box in the first moment.
constexpr UINT_PTR kTooltipTimer = 1;

}  // namespace

frmMain::~frmMain() { Destroy(); }  // before the font that the controls use

int frmMain::Start(const WindowCommand& command) {
  ChosenUser user = ChooseUser(services_, command.scope.user);
  if (user.status != kSuccess) {
    const std::string text =
        UserFailureMessage(command.scope.user, user.status, SystemReason(user.status));
    ShowMessage(nullptr, text, MB_OK | MB_ICONERROR);
    return static_cast<int>(user.status);
  }
  if (const DWORD failure = Load(); failure != ERROR_SUCCESS) {
    ShowMessage(nullptr, StartFailureMessage(SystemReason(static_cast<long>(failure))),
                MB_OK | MB_ICONERROR);
    Destroy();
    return static_cast<int>(failure);
  }
  SetUser(std::move(user.hive), user.sid, user.otherName);
  // The boxes hold their values before the first paint, which is then the
  // only one.
  if (command.scope.allUsers)
    Option(OptionPanel::kScopeOption).SetValue(kChecked);  // its click loads every user's
  else
    LoadChosenScope();
  ApplyEdits(command, *this);
  UpdateSubOptions(*this);
  Show();
  return 0;
}

DWORD frmMain::Load() {
  if (Hwnd()) return ERROR_SUCCESS;
  accelerators_ = LoadAcceleratorsW(instance_, MAKEINTRESOURCEW(IDR_MAIN_ACCELERATORS));
  HICON icon = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_APPLICATION_ICON),
                                             IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  const HMENU menu = LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_MAIN_MENU));
  if (const DWORD failure = CreateCentred({.instance = instance_,
                                           .className = L"Polvane.frmMain",
                                           .caption = L"Polvane",
                                           .style = WS_CAPTION | WS_SYSMENU,
                                           .exStyle = WS_EX_DLGMODALFRAME | WS_EX_APPWINDOW,
                                           .clientArea = kClientArea,
                                           .menu = menu,
                                           .icon = icon});
      failure != ERROR_SUCCESS) {
    DestroyMenu(menu);  // no window took it
    return failure;
  }
  // A window without all its controls is not shown; the caller destroys it
  // once it has said why (destroying the last window ends the program).
  const int dpi = Dpi();
  font_ = CreateFontAt(kDialogFont, dpi);
  if (const DWORD failure = CreateControls(dpi); failure != ERROR_SUCCESS) return failure;
  // The class's icon, drawn for 96 dpi, serves there.
  if (dpi != USER_DEFAULT_SCREEN_DPI) SetIcons(dpi);
  about_.SetShortcuts(accelerators_,
                      [this](WORD command) { OnCommand(MAKEWPARAM(command, 1), 0); });
  return ERROR_SUCCESS;
}

void frmMain::Show() {
  if (IsWindowVisible(Hwnd())) return;
  ShowWindow(Hwnd(), SW_SHOWNORMAL);
  UpdateWindow(Hwnd());
  SetTimer(Hwnd(), kTooltipTimer, USER_TIMER_MINIMUM, nullptr);
}

// Controls are created in tab order, which is also their z-order, each at its
// place at dpi in the window's font. The master option and the first
// sub-option live inside the frame, the master option on its top edge in
// place of a title; the other sub-options lie over the frame. Returns the
// first control's failure: a window without all of them is no window to show.
DWORD frmMain::CreateControls(int dpi) {
  const HWND main = Hwnd();
  const HFONT f = font_.Get();
  const Places at = PlacesAt(dpi, main, f);
  FirstFailure made;
  made(fraMain_.Create({main, IDC_FRA_MAIN, at.frame, f}));
  const HWND fra = fraMain_.Hwnd();
  made(chkSubOption_[0].Create({fra, kSubOptionIds[0], at.subOption[0], f}, kSubOptionCaptions[0]));
  made(chkOption_[0].Create({fra, kOptionIds[0], at.option[0], f}, kOptionCaptions[0]));
  made(cmdExit_.Create({main, IDCANCEL, at.exit, f}, L"Exit", false));
  made(cmdSave_.Create({main, IDOK, at.save, f}, L"Save", true));
  for (std::size_t i = 1; i < chkSubOption_.size(); ++i)
    made(chkSubOption_[i].Create({main, kSubOptionIds[i], at.subOption[i], f},
                                 kSubOptionCaptions[i]));
  made(chkOption_[1].Create({main, kOptionIds[1], at.option[1], f}, kOptionCaptions[1]));
  if (made.status) return made.status;

  for (int i = 0; i < static_cast<int>(chkOption_.size()); ++i)
    chkOption_[static_cast<std::size_t>(i)].onClick = [this, i] { chkOption_Click(i); };
  cmdSave_.onClick = [this] { SaveChanges(); };
  cmdExit_.onClick = [this] { EndProgram(); };
  return ERROR_SUCCESS;
}

void frmMain::LayOut() {
  const int dpi = Dpi();
  UniqueFont font = CreateFontAt(kDialogFont, dpi);
  const HFONT f = font.Get();
  const Places at = PlacesAt(dpi, Hwnd(), f);
  fraMain_.Place(at.frame, f);
  for (std::size_t i = 0; i < chkOption_.size(); ++i) chkOption_[i].Place(at.option[i], f);
  for (std::size_t i = 0; i < chkSubOption_.size(); ++i) chkSubOption_[i].Place(at.subOption[i], f);
  cmdSave_.Place(at.save, f);
  cmdExit_.Place(at.exit, f);
  if (tooltip_) SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(f), FALSE);
  SetIcons(dpi);
  font_ = std::move(font);  // the old font is released once nothing uses it
}

// The caption's and the taskbar's icons at the sizes the dpi asks for: the
// image of that size, or a larger one scaled down, never a smaller one
// stretched.
void frmMain::SetIcons(int dpi) {
  const auto load = [this, dpi](int metric) {
    const int size = SystemMetricAt(metric, dpi);
    return LoadApplicationIcon(instance_, size);
  };
  UniqueIcon big = load(SM_CXICON), small = load(SM_CXSMICON);
  SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.Get()));
  SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.Get()));
  bigIcon_ = std::move(big);  // the old icons go once the window has the new
  smallIcon_ = std::move(small);
}

// Without a tooltip the window is whole all the same.
void frmMain::AddMasterTooltip() {
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, Hwnd(), nullptr, instance_, nullptr);
  if (!tooltip_) return;
  SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  TTTOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = fraMain_.Hwnd();
  tool.uId = reinterpret_cast<UINT_PTR>(chkOption_[0].Hwnd());
  tool.lpszText = const_cast<char*>(kMasterTooltip);
  SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void frmMain::chkOption_Click(int index) {
  if (index == kMasterOption)
    UpdateSubOptions(*this);
  else
    LoadChosenScope();  // unsaved ticks are dropped
}

void frmMain::SetUser(OpenedKey hive, std::string sid, std::wstring otherName) {
  userHive_ = std::move(hive);
  store_.userRoot = userHive_ ? userHive_.Get() : kCurrentUser;
  store_.otherUser = Narrow(otherName.c_str(), CP_UTF8);
  userSid_ = std::move(sid);
  otherUser_ = std::move(otherName);
}

void frmMain::LoadChosenScope() {
  const bool allUsers = AllUsersChosen(*this);
  const std::wstring title =
      allUsers || otherUser_.empty() ? L"Polvane" : L"Polvane - " + otherUser_;
  SetWindowTextW(Hwnd(), title.c_str());
  // Where the policy keys' security keeps this process from saving, Save
  // says that it needs an administrator, as Windows buttons do.
  cmdSave_.ShowShield(!IsElevated() && !MayChangePolicies(store_, allUsers));
  if (const Win32Error status = LoadPolicies(store_, *this, allUsers, &loaded_);
      status != kSuccess) {
    const std::string text =
        LoadFailureMessage(ScopeName(allUsers, store_.otherUser), SystemReason(status));
    Show();  // at start, the warning is read over the window it is about
    ShowMessage(Hwnd(), text, MB_OK | MB_ICONWARNING);
  }
}

void frmMain::SaveChanges() {
  const bool allUsers = AllUsersChosen(*this);
  // A refusal is known before anything is written, and then nothing is.
  if (!MayChangePolicies(store_, allUsers)) return ShowSaveFailure(allUsers, kAccessDenied);
  if (!ConfirmChangesBehind(allUsers)) return;
  const Win32Error status = SavePolicies(store_, *this, allUsers);
  // What is stored now: what was written, or, where a write failed, what is there.
  loaded_ = status == kSuccess ? PanelAsStored(*this) : ReadStoredPolicies(store_, allUsers);
  if (status != kSuccess)
    ShowSaveFailure(allUsers, status);
  else
    AnnouncePolicyChange();
}

// Another program may have changed a value since the window showed it (a
// /set, a script, a Group Policy refresh). Where Save would overwrite such a
// change, the user is told what and chooses; Enter reloads, which loses
// nothing. The registry has no lock to
// hold from this check to the write: the rest of the window is the few
// milliseconds the five writes take.
bool frmMain::ConfirmChangesBehind(bool allUsers) {
  const std::vector<ChangedBehind> changed =
      ChangedSinceLoad(loaded_, ReadStoredPolicies(store_, allUsers), *this);
  if (changed.empty()) return true;
  const std::string text = ChangedBehindMessage(ScopeName(allUsers, store_.otherUser), changed);
  switch (ShowMessage(Hwnd(), text, MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2)) {
    case IDYES:
      return true;
    case IDNO:
      LoadChosenScope();
      return false;
    default:
      return false;
  }
}

// A save refused to a process without an administrator's rights, in either
// scope, may succeed with them: the box offers to start Polvane again so.
void frmMain::ShowSaveFailure(bool allUsers, Win32Error status) {
  const bool elevated = IsElevated();
  std::string text = SaveFailureMessage(ScopeName(allUsers, store_.otherUser), status,
                                        SystemReason(status), elevated);
  if (status != kAccessDenied || elevated) {
    ShowMessage(Hwnd(), text, MB_OK | MB_ICONERROR);
    return;
  }
  text += std::string("\n\n") + kRestartQuestion;
  if (ShowMessage(Hwnd(), text, MB_YESNO | MB_ICONERROR) == IDYES) RestartAsAdministrator();
}

// This window closes only once the new one is up; if the user declines the
// UAC prompt, it stays as it was. The user's SID goes with it: a standard
// user elevates as another account, whose own policies are not the ones
// meant.
void frmMain::RestartAsAdministrator() {
  const DWORD status = services_.elevation.StartElevated(Hwnd(), EditArguments(*this, userSid_));
  if (status == ERROR_SUCCESS) {
    EndProgram();
  } else if (status != ERROR_CANCELLED) {
    const std::string text = RestartFailureMessage(SystemReason(status));
    ShowMessage(Hwnd(), text, MB_OK | MB_ICONERROR);
  }
}

// Closes every window of the program, which ends it; nothing is saved.
void frmMain::EndProgram() { Window::DestroyAll(); }

void frmMain::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (Control::RouteCommand(wParam, lParam)) return;
  switch (LOWORD(wParam)) {
    case IDM_RESET:
      ResetOptionPanel(*this);
      break;
    case IDM_SAVE:
      SaveChanges();
      break;
    case IDM_EXIT:
      EndProgram();
      break;
    case IDM_ABOUT:
      about_.Open(Hwnd());
      break;
  }
}

LRESULT frmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      return 0;
    case WM_TIMER:
      if (wParam != kTooltipTimer) break;
      KillTimer(Hwnd(), kTooltipTimer);
      AddMasterTooltip();
      return 0;
    case DM_GETDEFID:
      // Enter presses Save, unless the focus is on Exit.
      return MAKELRESULT(GetFocus() == cmdExit_.Hwnd() ? IDCANCEL : IDOK, DC_HASDEFID);
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace polvane
