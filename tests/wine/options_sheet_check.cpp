// The options sheet driven under Wine: a second thread works its controls
// the way a user would while the first one shows it.
//   options_sheet_check.exe          drive the sheet through its cases
//   options_sheet_check.exe show     just show it (for a look at it)
#include <cstdio>
#include <cstring>
#include <string>

#include "app/options.h"
#include "core/string_table.h"
#include "platform/win32/win_api.h"  // before the common controls
#include "res/resource.h"
#include "ui/options_sheet.h"

#include <commctrl.h>

namespace harvio {
namespace {

constexpr char kCaption[] = "Harvio";
int failures = 0;

void Check(bool ok, const std::string& what) {
  if (!ok) {
    std::printf("FAIL: %s\n", what.c_str());
    ++failures;
  }
}

// A top-level dialog of this process with that title, waited for up to 10 s.
HWND WaitForDialog(const char* title) {
  for (int i = 0; i < 200; ++i) {
    HWND found = FindWindowA("#32770", title);
    if (found != nullptr && IsWindowVisible(found)) return found;
    Sleep(50);
  }
  return nullptr;
}

HWND CurrentPage(HWND sheet) {
  return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

void Click(HWND page, int id) {
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

void SetText(HWND page, int id, const char* text) { SetDlgItemTextA(page, id, text); }

// Leaving the general page goes through PSN_KILLACTIVE, which may open a
// box: posted, so this thread is free to answer the box.
void PostSelectPage(HWND sheet, int index) {
  PostMessageA(sheet, PSM_SETCURSEL, index, 0);
}

void PressButton(HWND sheet, int button) { PostMessageA(sheet, PSM_PRESSBUTTON, button, 0); }

using Script = void (*)(HWND sheet);

// Typed values are cleaned and clamped; an empty number takes its default.
void TypeValues(HWND sheet) {
  HWND general = CurrentPage(sheet);
  RECT box;
  GetWindowRect(sheet, &box);
  int centreX = (box.left + box.right) / 2, centreY = (box.top + box.bottom) / 2;
  int wantX = GetSystemMetrics(SM_CXSCREEN) * 2 / 5, wantY = GetSystemMetrics(SM_CYSCREEN) * 2 / 5;
  Check(centreX - wantX <= 1 && wantX - centreX <= 1 && centreY - wantY <= 1 &&
            wantY - centreY <= 1,
        "sheet centred at 40% of the screen");
  char shown[64] = "";
  GetDlgItemTextA(general, IDC_WORK_PATH, shown, sizeof(shown));
  Check(std::strcmp(shown, "C:\\old\\") == 0, std::string("work path shown: ") + shown);
  CheckDlgButton(general, IDC_KEEP_WINDOW, BST_UNCHECKED);
  SetText(general, IDC_WORK_PATH, "  C:\\my.pics  ");
  PostSelectPage(sheet, 1);
  Sleep(300);
  HWND connect = CurrentPage(sheet);
  Check(connect != general, "a valid path lets the page go");
  char text[16] = "";
  GetDlgItemTextA(connect, IDC_WEB2_RETRIES, text, sizeof(text));
  Check(std::strcmp(text, "10") == 0, std::string("WEB2 retries shown: ") + text);
  SetText(connect, IDC_CONN_TIMEOUT, "45");
  SetText(connect, IDC_DATA_TIMEOUT, "");
  SetText(connect, IDC_RETRY_WAIT, "7");
  PressButton(sheet, PSBTN_OK);
}

// Invalid paths: the box, and the page stays; then Cancel. The long one is
// what "..." may put there; cut to 63 bytes it would be a valid folder.
void RefusePath(HWND sheet) {
  HWND general = CurrentPage(sheet);
  const std::string paths[] = {"C:\\a|b", "C:\\" + std::string(59, 'a') + "\\bbbbbbbbbb"};
  for (const std::string& path : paths) {
    SetText(general, IDC_WORK_PATH, path.c_str());
    PostSelectPage(sheet, 1);
    HWND box = WaitForDialog(kCaption);
    Check(box != nullptr, "a box for the invalid path " + path);
    if (box != nullptr) {
      char text[128] = "";
      GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
      Check(std::strcmp(text, StringText(IDS_INVALID_PATH)) == 0, "the box says the path is invalid");
      SendMessageA(box, WM_COMMAND, IDOK, 0);
    }
    Sleep(300);
    Check(CurrentPage(sheet) == general, "the general page stays");
  }
  PressButton(sheet, PSBTN_CANCEL);
}

// Both pages' defaults buttons.
void LoadDefaults(HWND sheet) {
  HWND general = CurrentPage(sheet);
  Click(general, IDC_GENERAL_DEFAULTS);
  PostSelectPage(sheet, 1);
  Sleep(300);
  Click(CurrentPage(sheet), IDC_CONNECT_DEFAULTS);
  PressButton(sheet, PSBTN_OK);
}

struct Driver {
  Script script;
};

DWORD WINAPI Drive(void* parameter) {
  Script script = static_cast<Driver*>(parameter)->script;
  HWND sheet = WaitForDialog(StringText(IDS_OPTIONS_TITLE));
  Check(sheet != nullptr, "the sheet opens");
  if (sheet != nullptr) script(sheet);
  return 0;
}

bool RunSheet(Script script, Options& options) {
  Driver driver{script};
  HANDLE thread = CreateThread(nullptr, 0, Drive, &driver, 0, nullptr);
  bool ok = ui::ShowOptionsSheet(nullptr, options);
  WaitForSingleObject(thread, 20000);
  CloseHandle(thread);
  return ok;
}

Options Changed() {
  Options o;
  o.KeepWnd = 1;
  o.DataTimeout = 50;
  o.PICRetryTimes = 9;
  std::strcpy(o.WorkPath, "C:\\old\\");
  return o;
}

void DriveCases() {
  Options typed = Changed();
  Check(RunSheet(TypeValues, typed), "OK reported");
  Check(typed.KeepWnd == 0 && typed.HideOnMin == 1, "flags applied");
  Check(std::strcmp(typed.WorkPath, "C:\\my pics\\") == 0,
        std::string("work path cleaned: ") + typed.WorkPath);
  Check(typed.ConnTimeout == 45 && typed.DataTimeout == 30 && typed.RetryWait == 7 &&
            typed.PICRetryTimes == 9,
        "connection values: " + ConnectOptionsText(typed));

  Options refused = Changed();
  Check(!RunSheet(RefusePath, refused), "Cancel reported");
  const Options before = Changed();
  Check(std::memcmp(&refused, &before, sizeof(Options)) == 0, "Cancel changes nothing");

  Options defaults = Changed();
  defaults.KeepWnd = 0;
  defaults.HideOnMin = 0;
  Check(RunSheet(LoadDefaults, defaults), "OK after the defaults");
  Options expected;
  Check(std::memcmp(&defaults, &expected, sizeof(Options)) == 0,
        "defaults: " + ConnectOptionsText(defaults) + " " + defaults.WorkPath);
}

}  // namespace
}  // namespace harvio

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_UPDOWN_CLASS | ICC_TAB_CLASSES};
  InitCommonControlsEx(&controls);
  if (argc > 1 && std::strcmp(argv[1], "show") == 0) {
    harvio::Options options;
    bool ok = harvio::ui::ShowOptionsSheet(nullptr, options);
    std::printf("%s %s\n", ok ? "OK" : "Cancel", harvio::ConnectOptionsText(options).c_str());
    return 0;
  }
  harvio::DriveCases();
  std::printf(harvio::failures == 0 ? "ok\n" : "%d failures\n", harvio::failures);
  return harvio::failures == 0 ? 0 : 1;
}
