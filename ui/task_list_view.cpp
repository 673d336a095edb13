#include "ui/task_list_view.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "res/resource.h"
#include "ui/task_list_view_cells.h"

namespace harvio::ui {
namespace {

constexpr unsigned kFirstTitle = 1070;  // "任务状态" ... "类型信息"
constexpr int kIconSize = 16;
constexpr int kStateIcons = 4;  // New, Running, Paused, Done
constexpr COLORREF kTransparent = RGB(255, 0, 255);
constexpr UINT_PTR kSubclassId = 1;
constexpr int kFirstFullColumn = 7;  // save folder and catalog path

constexpr ColumnSpec kColumns[kTaskColumns] = {
    {80, false}, {60, true}, {60, true},   {60, true},   {60, true},
    {60, true},  {80, false}, {280, false}, {280, false},
};

// Four 16 by 16 icons, one per TaskState, magenta transparent.
HIMAGELIST LoadStateIcons(HINSTANCE instance) {
  HBITMAP strip = LoadBitmapA(instance, "TASKSTATE");
  if (strip == nullptr) return nullptr;
  HIMAGELIST icons = ImageList_Create(kIconSize, kIconSize, ILC_COLOR24 | ILC_MASK, kStateIcons, 0);
  if (icons != nullptr) ImageList_AddMasked(icons, strip, kTransparent);
  DeleteObject(strip);
  return icons;
}

// The pointer over the column header puts "就绪" into the status bar.
LRESULT CALLBACK HeaderProc(HWND header, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                            DWORD_PTR host) {
  if (message == WM_MOUSEMOVE) {
    const auto& showReady = reinterpret_cast<const TaskListHost*>(host)->showReady;
    if (showReady) showReady();
  }
  return DefSubclassProc(header, message, wparam, lparam);
}

// Rows sorted by orderKey; the comparison is the difference of the keys.
int CALLBACK CompareOrderKeys(LPARAM first, LPARAM second, LPARAM) {
  return static_cast<int>(reinterpret_cast<const Task*>(first)->orderKey -
                          reinterpret_cast<const Task*>(second)->orderKey);
}

bool Matches(RowFilter filter, UINT state) {
  switch (filter) {
    case RowFilter::kSelected:
      return (state & LVIS_SELECTED) != 0;
    case RowFilter::kFocusedSelected:
      return (state & (LVIS_SELECTED | LVIS_FOCUSED)) == (LVIS_SELECTED | LVIS_FOCUSED);
    case RowFilter::kAll:
    default:
      return true;
  }
}

void SetRowState(HWND view, int row, UINT state, UINT mask) {
  LVITEMA item = {};
  item.state = state;
  item.stateMask = mask;
  SendMessageA(view, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

HWND TaskListView::Create(HWND parent, HFONT font, bool gridLines, ThreadListView* threads,
                          TaskListHost host) {
  threads_ = threads;
  host_ = std::move(host);
  view_ = CreateReportView(parent, IDC_TASK_LIST, font, gridLines);
  if (view_ == nullptr) return nullptr;
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
  HIMAGELIST icons = LoadStateIcons(instance);
  if (icons != nullptr) {
    SendMessageA(view_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(icons));
  }
  AddColumns(view_, kColumns, kTaskColumns, kFirstTitle);
  HWND header = reinterpret_cast<HWND>(SendMessageA(view_, LVM_GETHEADER, 0, 0));
  if (header != nullptr) {
    SetWindowSubclass(header, HeaderProc, kSubclassId, reinterpret_cast<DWORD_PTR>(&host_));
  }
  return view_;
}

int TaskListView::AppendTaskRow(Task* task) {
  int row;
  {
    ViewUpdate update(view_);
    row = update.InsertRow(RowCount(), reinterpret_cast<LPARAM>(task));
  }
  if (row < 0) return row;
  RefreshTaskRow(task, row, true);
  RefreshStateCell(task, row);
  return row;
}

void TaskListView::RefreshStateCell(Task* task, int row) {
  {
    uint32_t state = std::min<uint32_t>(task->info.state, kDone);
    ViewUpdate update(view_);
    update.SetLabel(row, TaskStateLabel(state), static_cast<int>(state));
  }
  RowChanged();
}

void TaskListView::RefreshTaskRow(Task* task, int row, bool full) {
  const TaskStatus& status = RefreshStatus(*task);
  int end = full ? kTaskColumns : kFirstFullColumn;
  ViewUpdate update(view_);
  for (int column = 1; column < end; ++column) {
    update.SetCell(row, column, TaskCellText(status, column));
  }
}

int TaskListView::RowCount() const { return ReportRowCount(view_); }

Task* TaskListView::TaskAt(int row) const {
  LVITEMA item = {};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!SendMessageA(view_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  return reinterpret_cast<Task*>(item.lParam);
}

int TaskListView::RowOf(const Task* task) const {
  LVFINDINFOA find = {};
  find.flags = LVFI_PARAM;
  find.lParam = reinterpret_cast<LPARAM>(task);
  return static_cast<int>(
      SendMessageA(view_, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

std::vector<ListRow> TaskListView::Rows() const {
  std::vector<ListRow> rows;
  int count = RowCount();
  for (int i = 0; i < count; ++i) {
    UINT state = static_cast<UINT>(
        SendMessageA(view_, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_SELECTED | LVIS_FOCUSED));
    rows.push_back({TaskAt(i), (state & LVIS_SELECTED) != 0, (state & LVIS_FOCUSED) != 0});
  }
  return rows;
}

int TaskListView::ForEachRow(RowFilter filter,
                             const std::function<bool(Task*, int)>& action) const {
  for (int i = 0; i < RowCount(); ++i) {
    UINT state = static_cast<UINT>(
        SendMessageA(view_, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_SELECTED | LVIS_FOCUSED));
    if (Matches(filter, state) && !action(TaskAt(i), i)) return 0;
  }
  return -1;
}

void TaskListView::RowChanged() {
  if (batch_ > 0) return;
  std::vector<ListRow> rows = Rows();
  threadViewTask_ = ThreadViewTaskOf(rows);
  if (threadViewTask_ != nullptr) {
    threads_->Fill(*threadViewTask_);
  } else {
    threads_->Clear();
  }
  running_ = BuildRunningTable(rows);
  if (host_.updateCommandStates) host_.updateCommandStates();
}

void TaskListView::RefreshThreadList() {
  if (threadViewTask_ != nullptr) threads_->Fill(*threadViewTask_);
}

void TaskListView::DeleteSelectedRows() {
  ++batch_;
  std::vector<ListRow> rows = Rows();
  // The row goes before its task: the close thread frees the task, and no
  // row may point at it by then.
  {
    // Repainted as a whole at the end: a list scrolled back to its top by
    // the deletes would otherwise keep showing rows that are gone.
    ViewUpdate update(view_);
    for (Task* task : RemoveSelectedRows(rows)) {
      update.DeleteRow(RowOf(task));
      DeleteTask(task);
    }
  }
  --batch_;
  RowChanged();
}

void TaskListView::Reorder(bool (*move)(std::vector<ListRow>&)) {
  std::vector<ListRow> rows = Rows();
  if (move(rows)) {
    {
      ViewUpdate update(view_);
      update.SortRows(CompareOrderKeys);
    }
    int focused = static_cast<int>(
        SendMessageA(view_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (focused >= 0) SendMessageA(view_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(focused), FALSE);
  }
  RowChanged();
}

void TaskListView::MoveSelectedUp() { Reorder(harvio::MoveSelectedUp); }

void TaskListView::MoveSelectedDown() { Reorder(harvio::MoveSelectedDown); }

void TaskListView::SelectAllRows() {
  ++batch_;
  SetRowState(view_, -1, LVIS_SELECTED, LVIS_SELECTED | LVIS_FOCUSED);
  if (RowCount() > 0) {
    SetRowState(view_, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
  --batch_;
  RowChanged();
}

void TaskListView::SelectOnly(int row) {
  if (row < 0) return;
  ++batch_;
  SetRowState(view_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  SetRowState(view_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  SendMessageA(view_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
  --batch_;
  RowChanged();
}

void TaskListView::SetGridLines(bool on) {
  SetReportGridLines(view_, on);
  threads_->SetGridLines(on);
}

bool TaskListView::OnNotify(const NMHDR& header, LRESULT* result) {
  if (header.hwndFrom != view_) return false;
  *result = 0;
  switch (header.code) {
    case LVN_ITEMCHANGED:
      OnItemChanged(reinterpret_cast<const NMLISTVIEW&>(header));
      return true;
    case NM_DBLCLK:
      OnDoubleClick(reinterpret_cast<const NMITEMACTIVATE&>(header).iItem);
      return true;
    default:
      return false;
  }
}

void TaskListView::OnItemChanged(const NMLISTVIEW& change) {
  constexpr UINT kWatched = LVIS_SELECTED | LVIS_FOCUSED;
  if ((change.uChanged & LVIF_STATE) != 0 && ((change.uOldState ^ change.uNewState) & kWatched)) {
    RowChanged();
  }
}

void TaskListView::OnDoubleClick(int row) {
  Task* task = row >= 0 ? TaskAt(row) : nullptr;
  if (task == nullptr) return;
  switch (task->info.state) {
    case kNew:
    case kPaused:
      if (host_.startTaskRow) host_.startTaskRow(task, row);
      break;
    case kRunning:
      if (host_.pauseTaskRow) host_.pauseTaskRow(task, row);
      break;
    default:
      break;
  }
}

std::vector<Task*> TaskListView::Tasks() const {
  std::vector<Task*> tasks;
  for (int i = 0; i < RowCount(); ++i) tasks.push_back(TaskAt(i));
  return tasks;
}

void TaskListView::RemoveAllRows() {
  ++batch_;
  SendMessageA(view_, LVM_DELETEALLITEMS, 0, 0);
  --batch_;
  threadViewTask_ = nullptr;
  running_ = {};
  threads_->Clear();
}

void TaskListView::Destroy() {
  if (view_ == nullptr) return;
  HWND header = reinterpret_cast<HWND>(SendMessageA(view_, LVM_GETHEADER, 0, 0));
  if (header != nullptr) RemoveWindowSubclass(header, HeaderProc, kSubclassId);
  DestroyWindow(view_);
  view_ = nullptr;
}

}  // namespace harvio::ui
