#include "ui/shutdown.h"

#include "app/shell_texts.h"
#include "res/resource.h"
#include "ui/center_on_screen.h"

namespace harvio::ui {
namespace {

constexpr UINT_PTR kCountdownTimer = 2;
constexpr UINT kCountdownPeriodMs = 1000;

// The remaining seconds live in the dialog's user data.
void Step(HWND dialog) {
  auto remaining = static_cast<uint32_t>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
  bool over = CountdownStep(&remaining);
  SetWindowLongPtrA(dialog, GWLP_USERDATA, static_cast<LONG_PTR>(remaining));
  if (over) {
    EndDialog(dialog, IDOK);
    return;
  }
  SetDlgItemTextA(dialog, IDC_SHUTDOWN_TEXT, CountdownText(remaining).c_str());
}

INT_PTR CALLBACK CountdownProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CenterOnScreen(dialog);
      SetWindowLongPtrA(dialog, GWLP_USERDATA, kCountdownStart);
      SetTimer(dialog, kCountdownTimer, kCountdownPeriodMs, nullptr);
      Step(dialog);
      return TRUE;
    case WM_TIMER:
      if (wparam == kCountdownTimer) Step(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
      return TRUE;
    case WM_DESTROY:
      KillTimer(dialog, kCountdownTimer);
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

bool RunShutdownCountdown(HWND owner, HINSTANCE instance) {
  return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SHUTDOWN), owner, CountdownProc, 0) ==
         IDOK;
}

bool EnableShutdownPrivilege() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    return false;
  }
  TOKEN_PRIVILEGES privileges = {};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  bool enabled = LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege",
                                       &privileges.Privileges[0].Luid) &&
                 AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
                 GetLastError() == ERROR_SUCCESS;
  CloseHandle(token);
  return enabled;
}

void RequestPowerOff() { ExitWindowsEx(EWX_POWEROFF | EWX_FORCE, 0); }

}  // namespace harvio::ui
