#include "ui/wizard_pages.h"

#include "core/gbk_text.h"
#include "core/string_table.h"
#include "ui/center_on_screen.h"

namespace harvio::ui {
namespace {

constexpr char kAppCaption[] = "Harvio";
constexpr uint32_t kFirstPageTitle = 1480;  // "图片源", then by page id
constexpr uint32_t kMaxPages = 5;
constexpr int kFinishButtonId = 0x3025;  // the wizard's Finish button
constexpr uint32_t kFinishButtonText = 1489;  // "完成"

struct PageBinding {
  TaskDialog* dialog;
  const PageHandlers* handlers;
};

const PageHandlers& HandlersOf(WizardPage page) {
  switch (page) {
    case kSourcePage:
      return kSourcePageHandlers;
    case kSearchPage:
      return kSearchPageHandlers;
    case kCustomPage:
      return kCustomPageHandlers;
    case kProgramPage:
      return kProgramPageHandlers;
    default:
      return kFinishPageHandlers;
  }
}

// "宋体" 9 points, bold, for the title lines.
HFONT CreateTitleFont(HWND owner) {
  HDC dc = GetDC(owner);
  int height = -MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72);
  ReleaseDC(owner, dc);
  return CreateFontA(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                     GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                     "\xcb\xce\xcc\xe5");  // 宋体
}

void SetResult(HWND page, LONG_PTR result) {
  SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
}

void SetWizardButtons(HWND sheet, WizardPage page) {
  WizardButtons buttons = ButtonsOf(page);
  DWORD flags = (buttons.back ? PSWIZB_BACK : 0) |
                (buttons.next ? PSWIZB_NEXT : 0) |
                (buttons.finish ? PSWIZB_FINISH : 0);
  PropSheet_SetWizButtons(sheet, flags);
  // Named as the finish page's text names it on every system. The button's
  // text is set in place: PropSheet_SetFinishText would hide Back as well.
  if (buttons.finish) SetDlgItemTextA(sheet, kFinishButtonId, StringText(kFinishButtonText));
}

// The sheet remembers which pages were shown: only those are checked and
// applied. It is placed when its program page first shows.
void NoteShownInSheet(HWND sheet, TaskDialog& dialog, WizardPage page) {
  if (page == kSearchPage) dialog.shown.search = true;
  if (page == kCustomPage) dialog.shown.custom = true;
  if (page != kProgramPage || dialog.shown.program) return;
  dialog.shown.program = true;
  CenterOnScreen(sheet);
}

void OnSetActive(HWND page, const PageBinding& binding) {
  TaskDialog& dialog = *binding.dialog;
  const PageHandlers& handlers = *binding.handlers;
  HWND sheet = GetParent(page);
  SetDlgItemTextA(page, handlers.titleLineId, dialog.data.catalogPath.c_str());
  if (dialog.IsSheet()) {
    NoteShownInSheet(sheet, dialog, handlers.page);
  } else {
    SetWizardButtons(sheet, handlers.page);
  }
  if (handlers.activate != nullptr) handlers.activate(page, dialog);
  // After the sheet's own focus handling.
  if (handlers.focusId != 0) {
    PostMessageA(page, WM_NEXTDLGCTL,
                 reinterpret_cast<WPARAM>(GetDlgItem(page, handlers.focusId)), TRUE);
  }
  SetResult(page, 0);
}

// Leaving by Next, Finish or (in the sheet) for another page or OK: the
// page stays, with its input, when its check refuses.
bool Leave(HWND page, const PageBinding& binding) {
  if (binding.handlers->leave == nullptr) return true;
  std::string refusal = binding.handlers->leave(page, *binding.dialog);
  if (refusal.empty()) return true;
  ShowError(GetParent(page), refusal);
  return false;
}

INT_PTR OnSheetNotify(HWND page, const PageBinding& binding, const NMHDR& header) {
  TaskDialog& dialog = *binding.dialog;
  WizardPage self = binding.handlers->page;
  switch (header.code) {
    case PSN_SETACTIVE:
      OnSetActive(page, binding);
      return TRUE;
    case PSN_WIZNEXT: {
      // The page to go to is named by its template id; -1 stays.
      LONG_PTR next = NextPage(self, dialog.data.sourceId);
      SetResult(page, Leave(page, binding) ? next : -1);
      return TRUE;
    }
    case PSN_WIZBACK:
      SetResult(page, PreviousPage(self, dialog.data.sourceId));
      return TRUE;
    case PSN_WIZFINISH:
      SetResult(page, Leave(page, binding) ? FALSE : TRUE);
      return TRUE;
    case PSN_KILLACTIVE:
      SetResult(page, dialog.IsSheet() && !Leave(page, binding) ? TRUE : FALSE);
      return TRUE;
    case PSN_APPLY:
      dialog.applied = true;
      SetResult(page, PSNRET_NOERROR);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* sheetPage = reinterpret_cast<PROPSHEETPAGEA*>(lparam);
    auto* binding = reinterpret_cast<PageBinding*>(sheetPage->lParam);
    SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(binding));
    SendDlgItemMessageA(page, binding->handlers->titleLineId, WM_SETFONT,
                        reinterpret_cast<WPARAM>(binding->dialog->titleFont), FALSE);
    if (binding->handlers->init != nullptr) binding->handlers->init(page, *binding->dialog);
    return TRUE;
  }
  auto* binding = reinterpret_cast<PageBinding*>(GetWindowLongPtrA(page, DWLP_USER));
  if (binding == nullptr) return FALSE;
  TaskDialog& dialog = *binding->dialog;
  const PageHandlers& handlers = *binding->handlers;
  switch (message) {
    case WM_CTLCOLORSTATIC: {
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lparam)) != handlers.titleLineId) return FALSE;
      HDC dc = reinterpret_cast<HDC>(wparam);
      SetBkColor(dc, GetSysColor(COLOR_INFOBK));
      SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
      return reinterpret_cast<INT_PTR>(dialog.infoBrush);
    }
    case WM_COMMAND:
      if (handlers.command != nullptr) {
        handlers.command(page, dialog, LOWORD(wparam), HIWORD(wparam));
      }
      return TRUE;
    case WM_NOTIFY: {
      const NMHDR& header = *reinterpret_cast<const NMHDR*>(lparam);
      if (header.hwndFrom == GetParent(page)) return OnSheetNotify(page, *binding, header);
      if (handlers.notify == nullptr) return FALSE;
      SetResult(page, handlers.notify(page, dialog, header));
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

void RunTaskPages(HWND owner, TaskDialog& dialog, const WizardPage* pages,
                  uint32_t count, const char* caption) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  dialog.infoBrush = CreateSolidBrush(GetSysColor(COLOR_INFOBK));
  dialog.titleFont = CreateTitleFont(owner);
  PageBinding bindings[kMaxPages];
  PROPSHEETPAGEA sheetPages[kMaxPages] = {};
  if (count > kMaxPages) count = kMaxPages;
  for (uint32_t i = 0; i < count; ++i) {
    bindings[i] = {&dialog, &HandlersOf(pages[i])};
    PROPSHEETPAGEA& p = sheetPages[i];
    p.dwSize = sizeof(p);
    p.dwFlags = PSP_USETITLE;
    p.hInstance = instance;
    p.pszTemplate = MAKEINTRESOURCEA(pages[i]);
    p.pfnDlgProc = PageProc;
    p.pszTitle = StringText(kFirstPageTitle + (pages[i] - kSourcePage) / 10);
    p.lParam = reinterpret_cast<LPARAM>(&bindings[i]);
  }
  PROPSHEETHEADERA header = {};
  header.dwSize = sizeof(header);
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOCONTEXTHELP |
                   (caption != nullptr ? PSH_NOAPPLYNOW : PSH_WIZARD_LITE);
  header.hwndParent = owner;
  header.hInstance = instance;
  header.pszCaption = caption;
  header.nPages = count;
  header.ppsp = sheetPages;
  PropertySheetA(&header);
  if (dialog.treeIcons != nullptr) ImageList_Destroy(dialog.treeIcons);
  DeleteObject(dialog.titleFont);
  DeleteObject(dialog.infoBrush);
}

std::string ControlText(HWND page, int id, int capacity) {
  // Read with room to spare, then cut at a whole character.
  std::string text(static_cast<size_t>(capacity) * 2 + 2, '\0');
  GetDlgItemTextA(page, id, &text[0], static_cast<int>(text.size()));
  std::string bounded(static_cast<size_t>(capacity) + 1, '\0');
  CopyBounded(&bounded[0], bounded.size(), text.c_str());
  bounded.resize(std::char_traits<char>::length(bounded.c_str()));
  return bounded;
}

void ShowError(HWND owner, const std::string& text) {
  MessageBoxA(owner, text.c_str(), kAppCaption, MB_OK | MB_ICONERROR);
}

bool IsTicked(HWND page, int id) {
  return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

void SetTicked(HWND page, int id, bool ticked) {
  CheckDlgButton(page, id, ticked ? BST_CHECKED : BST_UNCHECKED);
}

void EnableControl(HWND page, int id, bool enabled) {
  EnableWindow(GetDlgItem(page, id), enabled ? TRUE : FALSE);
}

}  // namespace harvio::ui
