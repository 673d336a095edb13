#include "ui/toolbar.h"

#include <commctrl.h>

#include "app/command_states.h"
#include "app/main_layout.h"
#include "core/string_table.h"
#include "res/resource.h"

namespace harvio::ui {
namespace {

constexpr int kButtonCount = 12;
constexpr int kImageWidth = 22;
constexpr int kImageHeight = 20;
constexpr COLORREF kTransparent = RGB(255, 0, 255);

HIMAGELIST LoadStrip(HINSTANCE instance, const char* name, UINT colour_flag) {
  HIMAGELIST images = ImageList_Create(kImageWidth, kImageHeight, colour_flag | ILC_MASK,
                                       kButtonCount, 0);
  HBITMAP strip = static_cast<HBITMAP>(LoadImageA(instance, name, IMAGE_BITMAP, 0, 0, 0));
  if (images != nullptr && strip != nullptr) ImageList_AddMasked(images, strip, kTransparent);
  if (strip != nullptr) DeleteObject(strip);
  return images;
}

void AddButtons(HWND toolbar) {
  TBBUTTON buttons[kButtonCount] = {};
  for (int i = 0; i < kButtonCount; ++i) {
    int command = CMD_NEW_TASK + i;
    buttons[i].iBitmap = i;
    buttons[i].idCommand = command;
    buttons[i].fsState = TBSTATE_ENABLED;
    buttons[i].fsStyle = BTNS_BUTTON;
    buttons[i].iString = reinterpret_cast<INT_PTR>(StringText(CaptionStringId(command)));
  }
  SendMessageA(toolbar, TB_ADDBUTTONSA, kButtonCount, reinterpret_cast<LPARAM>(buttons));
}

}  // namespace

Toolbar CreateToolbar(HWND parent, HINSTANCE instance, HFONT font) {
  Toolbar bar;
  bar.rebar = CreateWindowExA(0, REBARCLASSNAMEA, "",
                              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN |
                                  RBS_VARHEIGHT | CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE,
                              0, 0, 0, 0, parent, reinterpret_cast<HMENU>(IDC_REBAR), instance,
                              nullptr);
  bar.toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                                WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                                    CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
                                0, 0, 0, 0, bar.rebar != nullptr ? bar.rebar : parent,
                                reinterpret_cast<HMENU>(IDC_TOOLBAR), instance, nullptr);
  if (bar.toolbar == nullptr) return bar;
  SendMessageA(bar.toolbar, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageA(bar.rebar, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageA(bar.toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageA(bar.toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(kImageWidth, kImageHeight));
  bar.enabledImages = LoadStrip(instance, "ENABLEDTB", ILC_COLOR24);
  bar.disabledImages = LoadStrip(instance, "DISABLEDTB", ILC_COLOR4);
  SendMessageA(bar.toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(bar.enabledImages));
  SendMessageA(bar.toolbar, TB_SETDISABLEDIMAGELIST, 0,
               reinterpret_cast<LPARAM>(bar.disabledImages));
  AddButtons(bar.toolbar);

  // The toolbar is the rebar's only band, gripper always shown; the band
  // gets its height whenever the window is laid out.
  REBARBANDINFOA band = {};
  band.cbSize = sizeof band;
  band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE;
  band.fStyle = RBBS_GRIPPERALWAYS;
  band.hwndChild = bar.toolbar;
  band.cyMinChild = ToolbarButtonSize(false).height;
  SendMessageA(bar.rebar, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
  return bar;
}

void DestroyToolbar(Toolbar* bar) {
  // The toolbar is the rebar's child and goes with it.
  if (bar->rebar != nullptr) DestroyWindow(bar->rebar);
  if (bar->enabledImages != nullptr) ImageList_Destroy(bar->enabledImages);
  if (bar->disabledImages != nullptr) ImageList_Destroy(bar->disabledImages);
  *bar = Toolbar{};
}

void ApplyToolbarStyle(HWND toolbar, bool captions) {
  SendMessageA(toolbar, TB_SETMAXTEXTROWS, captions ? 1 : 0, 0);
  HWND tips = reinterpret_cast<HWND>(SendMessageA(toolbar, TB_GETTOOLTIPS, 0, 0));
  if (tips != nullptr) SendMessageA(tips, TTM_ACTIVATE, captions ? FALSE : TRUE, 0);
  Size size = ToolbarButtonSize(captions);
  SendMessageA(toolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(size.width, size.height));
  InvalidateRect(toolbar, nullptr, TRUE);
}

void PlaceRebar(HWND rebar, int y, int width, int height) {
  REBARBANDINFOA band = {};
  band.cbSize = sizeof band;
  band.fMask = RBBIM_CHILDSIZE;
  band.cyMinChild = static_cast<UINT>(height);
  band.cyChild = static_cast<UINT>(height);
  band.cyMaxChild = static_cast<UINT>(height);
  SendMessageA(rebar, RB_SETBANDINFOA, 0, reinterpret_cast<LPARAM>(&band));
  MoveWindow(rebar, 0, y, width, height, TRUE);
}

void EnableToolbarButton(HWND toolbar, int command, bool enabled) {
  SendMessageA(toolbar, TB_ENABLEBUTTON, static_cast<WPARAM>(command), MAKELPARAM(enabled, 0));
}

void FillToolbarTooltip(NMTTDISPINFOA* info, bool captions) {
  uint32_t id = captions ? 0 : CaptionStringId(static_cast<uint32_t>(info->hdr.idFrom));
  info->hinst = nullptr;
  info->lpszText = const_cast<char*>(id != 0 ? StringText(id) : "");
}

}  // namespace harvio::ui
