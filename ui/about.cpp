#include "ui/about.h"

#include <shellapi.h>

#include "app/shell_texts.h"
#include "res/resource.h"
#include "ui/center_on_screen.h"

namespace harvio::ui {
namespace {

constexpr COLORREF kLinkColour = RGB(0, 0, 255);

bool IsLink(int id) { return id == IDC_ABOUT_MAIL || id == IDC_ABOUT_WEB; }

INT_PTR OnInitAbout(HWND dialog, HFONT link_font) {
  CenterOnScreen(dialog);
  SetDlgItemTextA(dialog, IDC_ABOUT_VERSION, AboutVersionLine().c_str());
  for (int id : {IDC_ABOUT_MAIL, IDC_ABOUT_WEB}) {
    SendDlgItemMessageA(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(link_font), FALSE);
  }
  return TRUE;
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitAbout(dialog, reinterpret_cast<HFONT>(lparam));
    case WM_CTLCOLORSTATIC: {
      if (!IsLink(GetDlgCtrlID(reinterpret_cast<HWND>(lparam)))) return FALSE;
      HDC dc = reinterpret_cast<HDC>(wparam);
      SetTextColor(dc, kLinkColour);
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
      if (!IsLink(GetDlgCtrlID(reinterpret_cast<HWND>(wparam)))) return FALSE;
      SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
      SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDC_ABOUT_MAIL:
        case IDC_ABOUT_WEB:
          if (HIWORD(wparam) != STN_CLICKED) return FALSE;
          OpenLink(dialog, LOWORD(wparam) == IDC_ABOUT_MAIL ? kMailLink : kHomePage);
          return TRUE;
        case IDOK:
        case IDCANCEL:
          EndDialog(dialog, LOWORD(wparam));
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

}  // namespace

void OpenLink(HWND owner, const char* target) {
  ShellExecuteA(owner, "open", target, nullptr, nullptr, SW_SHOWNORMAL);
}

void ShowAbout(HWND owner, HINSTANCE instance, HFONT ui_font) {
  LOGFONTA face = {};
  GetObjectA(ui_font, sizeof face, &face);
  face.lfWeight = FW_NORMAL;
  face.lfUnderline = TRUE;
  HFONT link_font = CreateFontIndirectA(&face);
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutProc,
                  reinterpret_cast<LPARAM>(link_font));
  if (link_font != nullptr) DeleteObject(link_font);
}

}  // namespace harvio::ui
