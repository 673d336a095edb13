#include "ui/thread_list_view.h"

#include <commctrl.h>

#include "app/list_rules.h"
#include "res/resource.h"
#include "ui/task_list_view_cells.h"

namespace harvio::ui {
namespace {

constexpr unsigned kFirstTitle = 1090;  // "线程状态" ... "文件名"
constexpr UINT_PTR kSubclassId = 1;

constexpr ColumnSpec kColumns[kThreadColumns] = {
    {80, false}, {60, false}, {60, true},  {60, true},
    {60, true},  {60, true},  {360, false}, {280, false},
};

// The view only shows: the mouse cannot click, select or drag a row (the
// wheel, outside this range, still scrolls), and the focus it gets goes on
// to the task list so its keys keep working.
LRESULT CALLBACK ThreadListProc(HWND view, UINT message, WPARAM wparam, LPARAM lparam,
                                UINT_PTR, DWORD_PTR focusTarget) {
  if (message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK) return 0;
  if (message == WM_SETFOCUS) {
    SetFocus(reinterpret_cast<HWND>(focusTarget));
    return 0;
  }
  return DefSubclassProc(view, message, wparam, lparam);
}

}  // namespace

HWND ThreadListView::Create(HWND parent, HFONT font, bool gridLines, HWND focusTarget) {
  view_ = CreateReportView(parent, IDC_THREAD_LIST, font, gridLines);
  if (view_ == nullptr) return nullptr;
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  SendMessageA(view_, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(face));
  SendMessageA(view_, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(face));
  AddColumns(view_, kColumns, kThreadColumns, kFirstTitle);
  SetWindowSubclass(view_, ThreadListProc, kSubclassId, reinterpret_cast<DWORD_PTR>(focusTarget));
  return view_;
}

void ThreadListView::Fill(const Task& task) {
  ThreadView views[kMaxThreads];
  int count = static_cast<int>(GetThreadViews(task, views));
  ViewUpdate update(view_);
  int rows = ReportRowCount(view_);
  for (int i = 0; i < count; ++i) {
    if (i >= rows) {
      if (update.InsertRow(i, 0) != i) break;
      rows = i + 1;
    }
    for (int column = 0; column < kThreadColumns; ++column) {
      update.SetCell(i, column, ThreadCellText(views[i], column));
    }
  }
  while (rows > count) update.DeleteRow(--rows);
}

void ThreadListView::Clear() {
  if (ReportRowCount(view_) > 0) SendMessageA(view_, LVM_DELETEALLITEMS, 0, 0);
}

void ThreadListView::SetGridLines(bool on) { SetReportGridLines(view_, on); }

void ThreadListView::Destroy() {
  if (view_ == nullptr) return;
  RemoveWindowSubclass(view_, ThreadListProc, kSubclassId);
  DestroyWindow(view_);
  view_ = nullptr;
}

}  // namespace harvio::ui
