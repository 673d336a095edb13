// The pages only move values between their controls and the Options record;
// what a value may be is decided in app/options.
#include "ui/options_sheet.h"

#include <commctrl.h>

#include <cstring>
#include <string>

#include "core/string_table.h"
#include "res/resource.h"
#include "ui/browse_folder.h"
#include "ui/center_on_screen.h"

namespace harvio::ui {
namespace {

constexpr char kCaption[] = "Harvio";
// The edit lets the user type one byte less than WorkPath holds, leaving
// room for the final "\\" that normalising adds.
constexpr WPARAM kWorkPathTypedMax = kWorkPathMax - 1;

struct SheetState {
  Options* options;
  bool applied;
};

SheetState* StateOf(HWND page) {
  return reinterpret_cast<SheetState*>(GetWindowLongPtrA(page, DWLP_USER));
}

SheetState* KeepState(HWND page, LPARAM initParam) {
  auto* sheetPage = reinterpret_cast<const PROPSHEETPAGEA*>(initParam);
  SetWindowLongPtrA(page, DWLP_USER, sheetPage->lParam);
  return StateOf(page);
}

// A notification's answer goes through DWLP_MSGRESULT.
INT_PTR Answer(HWND page, LONG_PTR result) {
  SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
  return TRUE;
}

// The whole text: a folder picked with "..." may be longer than the typing
// limit, and a cut copy could name another, valid folder.
std::string WorkPathText(HWND page) {
  HWND edit = GetDlgItem(page, IDC_WORK_PATH);
  std::string text(static_cast<size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
  int length = GetWindowTextA(edit, &text[0], static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(length > 0 ? length : 0));
  return text;
}

void ShowGeneral(HWND page, uint32_t keepWnd, uint32_t hideOnMin, const char* workPath) {
  CheckDlgButton(page, IDC_KEEP_WINDOW, keepWnd != 0 ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(page, IDC_HIDE_ON_MIN, hideOnMin != 0 ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemTextA(page, IDC_WORK_PATH, workPath);
}

void BrowseWorkPath(HWND page) {
  std::string path = WorkPathText(page);
  BrowseForFolder(StringText(IDS_CHOOSE_FOLDER), page, &path);
  SetDlgItemTextA(page, IDC_WORK_PATH, path.c_str());
}

// Leaving the page: an invalid work path keeps the user on it.
INT_PTR LeaveGeneral(HWND page) {
  std::string workPath;
  if (AcceptWorkPath(WorkPathText(page), &workPath)) return Answer(page, FALSE);
  MessageBoxA(GetParent(page), StringText(IDS_INVALID_PATH), kCaption, MB_OK | MB_ICONERROR);
  return Answer(page, TRUE);
}

void ApplyGeneral(HWND page, SheetState& state) {
  Options& options = *state.options;
  options.KeepWnd = IsDlgButtonChecked(page, IDC_KEEP_WINDOW) == BST_CHECKED;
  options.HideOnMin = IsDlgButtonChecked(page, IDC_HIDE_ON_MIN) == BST_CHECKED;
  std::string workPath;
  if (AcceptWorkPath(WorkPathText(page), &workPath)) {
    std::memcpy(options.WorkPath, workPath.c_str(), workPath.size() + 1);
  }
  state.applied = true;
}

INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      const Options& options = *KeepState(page, lparam)->options;
      CenterOnScreen(GetParent(page));
      SendDlgItemMessageA(page, IDC_WORK_PATH, EM_LIMITTEXT, kWorkPathTypedMax, 0);
      ShowGeneral(page, options.KeepWnd, options.HideOnMin, options.WorkPath);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == IDC_BROWSE_WORK_PATH) BrowseWorkPath(page);
      if (LOWORD(wparam) == IDC_GENERAL_DEFAULTS) {
        const Options defaults;
        ShowGeneral(page, 1, 1, defaults.WorkPath);
      }
      return TRUE;
    case WM_NOTIFY:
      switch (reinterpret_cast<const NMHDR*>(lparam)->code) {
        case PSN_KILLACTIVE: return LeaveGeneral(page);
        case PSN_APPLY:
          ApplyGeneral(page, *StateOf(page));
          return Answer(page, PSNRET_NOERROR);
      }
      return FALSE;
  }
  return FALSE;
}

// The edit and spin control of each [Connect] value, in table order.
int EditId(size_t index) { return IDC_CONN_TIMEOUT + 2 * static_cast<int>(index); }
int SpinId(size_t index) { return EditId(index) + 1; }

void SetConnectValue(HWND page, size_t index, uint32_t value) {
  SendDlgItemMessageA(page, SpinId(index), UDM_SETPOS32, 0, static_cast<LPARAM>(value));
}

void InitConnect(HWND page, const Options& options) {
  for (size_t i = 0; i < kConnectOptionCount; ++i) {
    const ConnectOption& c = kConnectOptions[i];
    HWND spin = GetDlgItem(page, SpinId(i));
    SendMessageA(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(page, EditId(i))), 0);
    SendMessageA(spin, UDM_SETRANGE32, c.low, c.high);
    SetConnectValue(page, i, options.*c.field);
  }
}

void ApplyConnect(HWND page, SheetState& state) {
  for (size_t i = 0; i < kConnectOptionCount; ++i) {
    BOOL unreadable = FALSE;
    LRESULT position = SendDlgItemMessageA(page, SpinId(i), UDM_GETPOS32, 0,
                                           reinterpret_cast<LPARAM>(&unreadable));
    const ConnectOption& c = kConnectOptions[i];
    state.options->*c.field =
        ConnectValueFromSpin(c, !unreadable, static_cast<int32_t>(position));
  }
  state.applied = true;
}

INT_PTR CALLBACK ConnectPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      InitConnect(page, *KeepState(page, lparam)->options);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDC_CONNECT_DEFAULTS) {
        for (size_t i = 0; i < kConnectOptionCount; ++i) {
          SetConnectValue(page, i, DefaultValue(kConnectOptions[i]));
        }
      }
      return TRUE;
    case WM_NOTIFY:
      if (reinterpret_cast<const NMHDR*>(lparam)->code == PSN_APPLY) {
        ApplyConnect(page, *StateOf(page));
        return Answer(page, PSNRET_NOERROR);
      }
      return FALSE;
  }
  return FALSE;
}

PROPSHEETPAGEA Page(int templateId, DLGPROC procedure, SheetState* state) {
  PROPSHEETPAGEA page = {};
  page.dwSize = sizeof(page);
  page.hInstance = GetModuleHandleA(nullptr);
  page.pszTemplate = MAKEINTRESOURCEA(templateId);
  page.pfnDlgProc = procedure;
  page.lParam = reinterpret_cast<LPARAM>(state);
  return page;
}

}  // namespace

bool ShowOptionsSheet(HWND owner, Options& options) {
  SheetState state{&options, false};
  PROPSHEETPAGEA pages[] = {
      Page(IDD_OPTIONS_GENERAL, GeneralPageProc, &state),
      Page(IDD_OPTIONS_CONNECT, ConnectPageProc, &state),
  };
  PROPSHEETHEADERA sheet = {};
  sheet.dwSize = sizeof(sheet);
  sheet.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_NOCONTEXTHELP;
  sheet.hwndParent = owner;
  sheet.hInstance = GetModuleHandleA(nullptr);
  sheet.pszCaption = StringText(IDS_OPTIONS_TITLE);
  sheet.nPages = sizeof(pages) / sizeof(pages[0]);
  sheet.nStartPage = 0;
  sheet.ppsp = pages;
  PropertySheetA(&sheet);
  return state.applied;
}

}  // namespace harvio::ui
