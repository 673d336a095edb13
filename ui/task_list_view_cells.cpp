#include "ui/task_list_view_cells.h"

#include <commctrl.h>

#include <algorithm>

#include "core/string_table.h"

namespace harvio::ui {
namespace {

// Longer than any cell: a URL is at most 1024 bytes.
constexpr int kCellBytes = 1100;

constexpr DWORD kReportExStyle = LVS_EX_FULLROWSELECT;

}  // namespace

HWND CreateReportView(HWND parent, int id, HFONT font, bool gridLines) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
  HWND view = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | LVS_REPORT |
                                  LVS_SHOWSELALWAYS,
                              0, 0, 0, 0, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  if (view == nullptr) return nullptr;
  SendMessageA(view, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SetReportGridLines(view, gridLines);
  return view;
}

void AddColumns(HWND view, const ColumnSpec* columns, int count, unsigned firstTitle) {
  for (int i = 0; i < count; ++i) {
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = columns[i].right ? LVCFMT_RIGHT : LVCFMT_LEFT;
    column.cx = columns[i].width;
    column.pszText = const_cast<char*>(StringText(firstTitle + static_cast<unsigned>(i)));
    column.iSubItem = i;
    SendMessageA(view, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i),
                 reinterpret_cast<LPARAM>(&column));
  }
}

void SetReportGridLines(HWND view, bool on) {
  SendMessageA(view, LVM_SETEXTENDEDLISTVIEWSTYLE, kReportExStyle | LVS_EX_GRIDLINES,
               kReportExStyle | (on ? LVS_EX_GRIDLINES : 0));
}

int ReportRowCount(HWND view) {
  return static_cast<int>(SendMessageA(view, LVM_GETITEMCOUNT, 0, 0));
}

ViewUpdate::~ViewUpdate() {
  if (!suspended_) return;
  SendMessageA(view_, WM_SETREDRAW, TRUE, 0);
  if (rowsMoved_) {
    InvalidateRect(view_, nullptr, TRUE);
  } else {
    SendMessageA(view_, LVM_REDRAWITEMS, static_cast<WPARAM>(firstRow_),
                 static_cast<LPARAM>(lastRow_));
  }
}

void ViewUpdate::Changed(int row) {
  if (!suspended_) {
    SendMessageA(view_, WM_SETREDRAW, FALSE, 0);
    suspended_ = true;
    firstRow_ = lastRow_ = row;
  }
  firstRow_ = std::min(firstRow_, row);
  lastRow_ = std::max(lastRow_, row);
}

void ViewUpdate::SetCell(int row, int column, const std::string& text) {
  char held[kCellBytes] = "";
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = held;
  item.cchTextMax = kCellBytes;
  SendMessageA(view_, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  if (text == held) return;
  Changed(row);
  item.pszText = const_cast<char*>(text.c_str());
  SendMessageA(view_, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void ViewUpdate::SetLabel(int row, const char* text, int image) {
  LVITEMA item = {};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  SendMessageA(view_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  if (item.iImage != image) {
    Changed(row);
    item.iImage = image;
    SendMessageA(view_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
  SetCell(row, 0, text);
}

int ViewUpdate::InsertRow(int row, LPARAM data) {
  Changed(row);
  rowsMoved_ = true;
  LVITEMA item = {};
  item.mask = LVIF_PARAM | LVIF_TEXT;
  item.iItem = row;
  item.pszText = const_cast<char*>("");
  item.lParam = data;
  return static_cast<int>(
      SendMessageA(view_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void ViewUpdate::DeleteRow(int row) {
  Changed(row);
  rowsMoved_ = true;
  SendMessageA(view_, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
}

void ViewUpdate::SortRows(PFNLVCOMPARE compare) {
  Changed(0);
  rowsMoved_ = true;
  SendMessageA(view_, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(compare));
}

}  // namespace harvio::ui
