#include "ui/frmAbout.h"

#include <string>

#include "rules/AboutTexts.h"
#include "rules/Links.h"
#include "platform/ProgramVersion.h"
#include "platform/Text.h"
#include "resources/resource.h"
#include "ui/Fonts.h"
#include "ui/Icons.h"
#include "ui/Layout.h"

namespace polvane {
namespace {

constexpr Twips kClientArea{0, 0, 5235, 3495};
constexpr Twips kImage1{240, 240, 540, 540};
constexpr Twips kLblTitle{1050, 240, 3885, 480};
constexpr Twips kLblVersion{1050, 780, 3885, 225};
constexpr Twips kLblDescription{1050, 1125, 3885, 570};
constexpr Twips kCmdOK{3850, 2040, 1260, 345};
constexpr Twips kLblPolvaneWeb{1050, 2160, 2685, 225};
constexpr Twips kPicture1{11, 2505, 5207, 975};
constexpr Twips kImgMSN{120, 120, 3555, 750};  // in Picture1's inner area

constexpr FontSpec kTitleFont{L"MS Shell Dlg", 1200};
// The TrueType face Windows pairs with the bitmap "MS Sans Serif": the same
// at 96 dpi, and smooth at any other.
constexpr FontSpec kLinkFont{L"Microsoft Sans Serif", 825, FW_NORMAL, true};
constexpr COLORREF kLinkColour = RGB(0, 0, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int kIconPixelsAt96Dpi = 32;

// The About texts are UTF-8, as the version record's fields are read.
std::wstring Wide(const std::string& text) { return Widen(text, CP_UTF8); }

}  // namespace

frmAbout::~frmAbout() { Destroy(); }  // before the fonts and pictures it shows

void frmAbout::Open(HWND anchor) {
  if (!Hwnd()) Load(anchor);
  if (!Hwnd()) return;  // no window could be made: the main window stays as it is
  ShowWindow(Hwnd(), SW_SHOWNORMAL);
  SetForegroundWindow(Hwnd());
}

void frmAbout::Load(HWND anchor) {
  handCursor_.Reset(static_cast<HCURSOR>(LoadImageW(instance_, MAKEINTRESOURCEW(IDC_HAND_POINTER),
                                                    IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE)));
  banner_ = LoadGifResource(instance_, IDG_MESSENGER_BANNER);

  const AboutTexts texts = MakeAboutTexts(ReadProgramVersionRecord());
  const std::wstring caption = Wide(texts.caption);
  if (CreateBeside({.instance = instance_,
                    .className = L"Polvane.frmAbout",
                    .caption = caption.c_str(),
                    .style = WS_CAPTION | WS_SYSMENU,
                    .exStyle = WS_EX_DLGMODALFRAME,
                    .clientArea = kClientArea,
                    .menu = nullptr,
                    .icon = nullptr},
                   anchor) != ERROR_SUCCESS)
    return;
  // Without all its controls the window is not shown, as without itself.
  if (CreateControls(texts) != ERROR_SUCCESS) return Destroy();
  LayOut();
}

// Controls are created in tab order, which is also their z-order. OK has the
// focus when the window opens; Tab then reaches the banner and the home page
// link.
DWORD frmAbout::CreateControls(const AboutTexts& texts) {
  const HWND about = Hwnd();
  FirstFailure made;
  made(cmdOK_.Create({about, IDOK}, L"OK", true));
  made(lblDescription_.Create({about, IDC_LBL_DESCRIPTION}, Wide(texts.description)));
  made(lblTitle_.Create({about, IDC_LBL_TITLE}, Wide(texts.title)));
  made(lblVersion_.Create({about, IDC_LBL_VERSION}, Wide(texts.version)));
  made(picture1_.Create({about, IDC_PICTURE1}));
  made(imgMSN_.Create({picture1_.Hwnd(), IDC_IMG_MSN}, L"MSN Messenger"));
  made(lblPolvaneWeb_.Create({about, IDC_LBL_POLVANE_WEB}, L"Polvane Homepage", true));
  made(image1_.Create({about, IDC_IMAGE1}));
  if (made.status) return made.status;

  imgMSN_.SetPicture(banner_.Get());
  cmdOK_.onClick = [this] { Destroy(); };
  imgMSN_.onClick = [this] { imgMSN_Click(); };
  lblPolvaneWeb_.onClick = [this] { lblPolvaneWeb_Click(); };
  return ERROR_SUCCESS;
}

// The banner is stretched to its box, which is its own size at 96 dpi; the
// icon is loaded at the size the dpi asks for.
void frmAbout::LayOut() {
  const int dpi = Dpi();
  UniqueFont font = CreateFontAt(kDialogFont, dpi);
  UniqueFont titleFont = CreateFontAt(kTitleFont, dpi);
  UniqueFont linkFont = CreateFontAt(kLinkFont, dpi);
  const int iconSize = MulDiv(kIconPixelsAt96Dpi, dpi, USER_DEFAULT_SCREEN_DPI);
  UniqueIcon icon = LoadApplicationIcon(instance_, iconSize);

  cmdOK_.Place(PixelRect(kCmdOK, dpi), font.Get());
  lblDescription_.Place(PixelRect(kLblDescription, dpi), font.Get());
  // In the dialog font the description takes three lines, a pixel more
  // than its box; the space below it is free.
  lblDescription_.GrowToFitText();
  lblTitle_.Place(PixelRect(kLblTitle, dpi), titleFont.Get());
  lblVersion_.Place(PixelRect(kLblVersion, dpi), font.Get());
  // The pictures show no text and get no font: under Wine a common
  // controls 6 static keeps a few bytes for good once it has been given one.
  picture1_.Place(PixelRect(kPicture1, dpi), nullptr);
  imgMSN_.Place(PixelRect(kImgMSN, dpi), nullptr);
  lblPolvaneWeb_.Place(PixelRect(kLblPolvaneWeb, dpi), linkFont.Get());
  image1_.Place(PixelRect(kImage1, dpi), nullptr);
  image1_.SetIcon(icon.Get(), iconSize);

  font_ = std::move(font);
  titleFont_ = std::move(titleFont);
  linkFont_ = std::move(linkFont);
  icon_ = std::move(icon);
}

void frmAbout::imgMSN_Click() { services_.shell.OpenUrl(linkOwner_(), kMessengerProductUrl); }

void frmAbout::lblPolvaneWeb_Click() { services_.shell.OpenUrl(linkOwner_(), kHomePageUrl); }

void frmAbout::OnDestroyed() {
  banner_.Reset();
  handCursor_.Reset();
  icon_.Reset();
  linkFont_.Reset();
  titleFont_.Reset();
  font_.Reset();
}

void frmAbout::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (Control::RouteCommand(wParam, lParam)) return;
  if (HIWORD(wParam) == 1 && onShortcut_) {  // from a shortcut key
    onShortcut_(LOWORD(wParam));
    return;
  }
  // Esc: OK is the cancel button too.
  if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) Destroy();
}

// The link is pure blue, the title and description black; the picture panel
// and the banner inside it are white. With High Contrast on, every colour is
// the system's, so that each text stands out from its background.
LRESULT frmAbout::ColourStatic(HDC dc, HWND control) {
  const bool highContrast = services_.colours.HighContrastOn();
  if (control == picture1_.Hwnd() || GetParent(control) == picture1_.Hwnd()) {
    SetBkColor(dc, highContrast ? GetSysColor(COLOR_WINDOW) : kWhite);
    return reinterpret_cast<LRESULT>(highContrast ? GetSysColorBrush(COLOR_WINDOW)
                                                  : GetStockObject(WHITE_BRUSH));
  }
  COLORREF text = GetSysColor(COLOR_BTNTEXT);
  if (control == lblPolvaneWeb_.Hwnd())
    text = highContrast ? GetSysColor(COLOR_HOTLIGHT) : kLinkColour;
  else if (!highContrast && (control == lblTitle_.Hwnd() || control == lblDescription_.Hwnd()))
    text = kBlack;
  SetTextColor(dc, text);
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

bool frmAbout::ShowLinkCursor(HWND over) {
  if (over != imgMSN_.Hwnd() && over != lblPolvaneWeb_.Hwnd()) return false;
  SetCursor(handCursor_.Get());
  return true;
}

LRESULT frmAbout::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      return 0;
    case WM_CTLCOLORSTATIC:
      return ColourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM:
      if (auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
          Control* control = Control::FromHwnd(item->hwndItem))
        control->Draw(*item);
      return TRUE;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && ShowLinkCursor(reinterpret_cast<HWND>(wParam))) return TRUE;
      break;
    case DM_GETDEFID:
      return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
      // High Contrast turned on or off, or the system's colours changed.
      RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace polvane
