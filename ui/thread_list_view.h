// The thread list below the task list: one row per download thread of the
// running task the user has focused. It only shows; no row can be clicked,
// selected or dragged, and the focus it receives goes on to the task list.
#pragma once

#include "core/task.h"
#include "platform/win32/win_api.h"

namespace harvio::ui {

class ThreadListView {
 public:
  // Creates the view as child IDC_THREAD_LIST of `parent`; the focus it
  // receives goes on to `focusTarget`.
  HWND Create(HWND parent, HFONT font, bool gridLines, HWND focusTarget);
  HWND handle() const { return view_; }

  // FillThreadList: the workers of `task` in slot order, rows reused in
  // place so the view does not flicker when it is refilled every second.
  void Fill(const Task& task);
  void Clear();
  void SetGridLines(bool on);
  void Destroy();

 private:
  HWND view_ = nullptr;
};

}  // namespace harvio::ui
