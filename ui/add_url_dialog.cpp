#include "ui/add_url_dialog.h"

#include <commctrl.h>

#include "res/resource.h"
#include "app/url_batch.h"
#include "app/wizard_rules.h"
#include "ui/center_on_screen.h"
#include "ui/wizard_pages.h"

namespace harvio::ui {
namespace {

constexpr int kEntryMax = 1017;
constexpr int kEntryRead = 1024;
constexpr int kBoundMax = 8;
constexpr int kLastBound = 9999;

UrlBatch ReadBatch(HWND dialog) {
  UrlBatch batch;
  batch.entry = ControlText(dialog, IDC_URL_ENTRY, kEntryRead);
  batch.from = BatchBoundFromText(ControlText(dialog, IDC_FROM, kBoundMax));
  batch.to = BatchBoundFromText(ControlText(dialog, IDC_TO, kBoundMax));
  batch.fixedWidth = IsTicked(dialog, IDC_FIXED_WIDTH);
  return batch;
}

void RefreshPreview(HWND dialog) {
  UrlBatch batch = ReadBatch(dialog);
  SetDlgItemTextA(dialog, IDC_PREVIEW, BatchPreview(batch).c_str());
  bool series = IsSeriesEntry(batch.entry);
  for (int id = IDC_FROM; id <= IDC_FIXED_WIDTH; ++id) EnableControl(dialog, id, series);
}

void InitBound(HWND dialog, int editId, int spinId) {
  SendDlgItemMessageA(dialog, editId, EM_LIMITTEXT, kBoundMax, 0);
  SendDlgItemMessageA(dialog, spinId, UDM_SETRANGE32, 0, kLastBound);
  SendDlgItemMessageA(dialog, spinId, UDM_SETPOS32, 0, 0);
}

void Add(HWND dialog, UrlQueue& list) {
  std::string refusal = AddUrlBatch(list, ReadBatch(dialog));
  if (!refusal.empty()) {
    ShowError(dialog, refusal);
    return;
  }
  EndDialog(dialog, 0);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lparam);
      SendDlgItemMessageA(dialog, IDC_URL_ENTRY, EM_LIMITTEXT, kEntryMax, 0);
      InitBound(dialog, IDC_FROM, IDC_FROM_SPIN);
      InitBound(dialog, IDC_TO, IDC_TO_SPIN);
      RefreshPreview(dialog);
      CenterOnScreen(dialog);
      return TRUE;
    case WM_COMMAND: {
      int id = LOWORD(wparam);
      int code = HIWORD(wparam);
      if (code == EN_CHANGE && (id == IDC_URL_ENTRY || id == IDC_FROM || id == IDC_TO)) {
        RefreshPreview(dialog);
      } else if (id == IDC_FIXED_WIDTH && code == BN_CLICKED) {
        SetTicked(dialog, IDC_FIXED_WIDTH, !IsTicked(dialog, IDC_FIXED_WIDTH));
        RefreshPreview(dialog);
      } else if (id == IDOK) {
        Add(dialog, *reinterpret_cast<UrlQueue*>(GetWindowLongPtrA(dialog, DWLP_USER)));
      } else if (id == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

void ShowAddUrlDialog(HWND owner, UrlQueue& list) {
  DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ADD_URL), owner,
                  DialogProc, reinterpret_cast<LPARAM>(&list));
}

}  // namespace harvio::ui
