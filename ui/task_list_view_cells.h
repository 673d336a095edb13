// Helpers shared by the task list and the thread list: creation with the
// common report style, columns from the string table, and updates that write
// only the cells whose text changed, with redrawing suspended, so a refresh
// every second repaints nothing that stayed the same.
#pragma once

#include <string>

#include "platform/win32/win_api.h"

#include <commctrl.h>

namespace harvio::ui {

struct ColumnSpec {
  int width;
  bool right;  // aligned right
};

// A report view with a sunken edge, selection shown without focus, several
// rows selectable, full-row selection, `font`, grid lines when asked.
HWND CreateReportView(HWND parent, int id, HFONT font, bool gridLines);
// Columns 0..count-1 titled by strings firstTitle, firstTitle + 1, ...
void AddColumns(HWND view, const ColumnSpec* columns, int count, unsigned firstTitle);
void SetReportGridLines(HWND view, bool on);
int ReportRowCount(HWND view);

// One update of a view's rows. Redrawing is suspended at the first real
// change and resumed when the update ends, repainting only what changed.
class ViewUpdate {
 public:
  explicit ViewUpdate(HWND view) : view_(view) {}
  ~ViewUpdate();
  ViewUpdate(const ViewUpdate&) = delete;
  ViewUpdate& operator=(const ViewUpdate&) = delete;

  // Writes the cell when its text differs from what the view holds.
  void SetCell(int row, int column, const std::string& text);
  // Column 0 of `row` with its icon.
  void SetLabel(int row, const char* text, int image);
  // An empty row at `row` carrying `data`; its index, or -1.
  int InsertRow(int row, LPARAM data);
  void DeleteRow(int row);
  // Rows in the order `compare` gives their item data.
  void SortRows(PFNLVCOMPARE compare);

 private:
  void Changed(int row);

  HWND view_;
  bool suspended_ = false;
  bool rowsMoved_ = false;  // rows inserted or deleted: repaint the lot
  int firstRow_ = -1;
  int lastRow_ = -1;
};

}  // namespace harvio::ui
