#include "ui/tip_text.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "platform/files.h"
#include "sources/text_helpers.h"

namespace harvio::ui {
namespace {

constexpr uint32_t kPageBytesMax = 16384;  // a tip page is well below
constexpr int kTextLeft = 12;  // the pages' own left padding
constexpr UINT_PTR kPaneSubclass = 1;

// The words of the page's body, tags dropped, entities decoded; empty when
// the file cannot be read.
std::string PageText(const std::string& page) {
  platform::File file = platform::File::Open(page, platform::File::Mode::kReadExisting);
  std::string html(kPageBytesMax, '\0');
  int64_t got = file.IsOpen() ? file.Read(&html[0], kPageBytesMax) : -1;
  if (got <= 0) return std::string();
  const char* end = html.data() + got;
  const char* body = FindMarker(html.data(), end, "<body");
  const char* bodyEnd = body != nullptr ? FindMarker(body, end, "</body>") : nullptr;
  if (bodyEnd == nullptr) return std::string();
  char text[kWorkBuffer];
  size_t length = std::min<size_t>(static_cast<size_t>(bodyEnd - body), kWorkBuffer - 4);
  std::memcpy(text, body, length);
  RemoveTabsAndLineBreaks(text, text + length);
  StripTags(text);
  DecodeEntities(text);
  TrimSpaces(text);
  return text;
}

// The pane has no procedure of its own; the text takes the pane's colour.
LRESULT CALLBACK PaneProc(HWND pane, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                          DWORD_PTR) {
  if (message == WM_CTLCOLORSTATIC) {
    SetBkColor(reinterpret_cast<HDC>(wparam), GetSysColor(COLOR_WINDOW));
    SetTextColor(reinterpret_cast<HDC>(wparam), GetSysColor(COLOR_WINDOWTEXT));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
  }
  return DefSubclassProc(pane, message, wparam, lparam);
}

}  // namespace

HWND CreateTipText(HWND pane, HFONT font, const std::string& page) {
  RECT client;
  GetClientRect(pane, &client);
  HWND text = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE |
                                                   SS_NOPREFIX,
                              kTextLeft, 0, client.right - kTextLeft, client.bottom, pane, nullptr,
                              reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(pane, GWLP_HINSTANCE)),
                              nullptr);
  if (text == nullptr) return nullptr;
  SetWindowSubclass(pane, PaneProc, kPaneSubclass, 0);
  SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  ShowTipText(text, page);
  return text;
}

void ShowTipText(HWND text, const std::string& page) {
  if (text != nullptr) SetWindowTextA(text, PageText(page).c_str());
}

}  // namespace harvio::ui
