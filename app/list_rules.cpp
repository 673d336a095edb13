#include "app/list_rules.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "core/string_table.h"
// Only for the WorkerState numbers of the display block.
#include "net/worker.h"

namespace harvio {
namespace {

constexpr uint32_t kFirstTaskStateLabel = 1110;    // "新建" ...
constexpr uint32_t kFirstWorkerStateLabel = 1120;  // "空闲" ...
constexpr uint32_t kFirstKindLabel = 1140;         // "WEB2" ...

// A text field of a fixed record, never read past its end even when a
// damaged file left it unterminated.
template <size_t N>
std::string FieldText(const char (&field)[N]) {
  return std::string(field, strnlen(field, N));
}

std::string BoundedText(const char* text, size_t capacity) {
  return text == nullptr ? std::string() : std::string(text, strnlen(text, capacity));
}

bool IsReceiving(uint32_t state) { return state == kReceiving || state == kProcessing; }
// A refused certificate keeps its URL on show.
bool IsBusy(uint32_t state) {
  return state != kIdle && state != kFinishing && state <= kCertRefused;
}

}  // namespace

const char* TaskStateLabel(uint32_t state) {
  return StringText(kFirstTaskStateLabel + std::min<uint32_t>(state, kDone));
}

std::string KiloBytesText(uint64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2fKB", static_cast<double>(bytes) / 1024.0);
  return text;
}

std::string TaskCellText(const TaskStatus& status, int column) {
  switch (column) {
    case 1:
      return std::to_string(status.pictureCount);
    case 2:
    case 3:
    case 4:
      return std::to_string(status.pending[column - 2]);
    case 5:
      return FieldText(status.workers);
    case 6:
      return FieldText(status.elapsed);
    case 7:
      return BoundedText(status.savePath, sizeof(TaskInfo::savePath));
    case 8:
      return BoundedText(status.catalogPath, sizeof(TaskInfo::catalogPath));
    default:
      return std::string();
  }
}

std::string ThreadCellText(const ThreadView& view, int column) {
  bool receiving = IsReceiving(view.state);
  bool sized = receiving && view.size != 0;
  bool busy = IsBusy(view.state);
  switch (column) {
    case 0:
      return view.state <= kCertRefused ? StringText(kFirstWorkerStateLabel + view.state) : "";
    case 1:
      return StringText(kFirstKindLabel + std::min<uint32_t>(view.kind, kNoKind));
    case 2:
      return sized ? KiloBytesText(view.size) : std::string();
    case 3:
      return receiving ? KiloBytesText(view.done) : std::string();
    case 4:
      // Widened first: a 4 MB body would overflow 32 bits when multiplied.
      return sized ? std::to_string(uint64_t{view.done} * 100 / view.size) + "%" : std::string();
    case 5:
      return busy ? std::to_string(view.retry) : std::string();
    case 6:
      return busy ? FieldText(view.url) : std::string();
    case 7:
      return busy ? FieldText(view.file) : std::string();
    default:
      return std::string();
  }
}

RunningTable BuildRunningTable(const std::vector<ListRow>& rows) {
  RunningTable table = {};
  for (size_t i = 0; i < rows.size() && table.count < kMaxRunningTasks; ++i) {
    if (rows[i].task->info.state == kRunning) {
      table.entries[table.count++] = {static_cast<int32_t>(i), rows[i].task};
    }
  }
  return table;
}

Task* ThreadViewTaskOf(const std::vector<ListRow>& rows) {
  for (const ListRow& row : rows) {
    if (row.focused && row.selected) {
      return row.task->info.state == kRunning ? row.task : nullptr;
    }
  }
  return nullptr;
}

namespace {

// Rows i and j trade places, and their tasks their keys, so sorting by key
// gives the same order.
void SwapRows(std::vector<ListRow>& rows, size_t i, size_t j) {
  std::swap(rows[i].task->orderKey, rows[j].task->orderKey);
  std::swap(rows[i], rows[j]);
}

}  // namespace

bool MoveSelectedUp(std::vector<ListRow>& rows) {
  bool moved = false;
  for (size_t i = 1; i < rows.size(); ++i) {
    if (rows[i].selected && !rows[i - 1].selected) {
      SwapRows(rows, i - 1, i);
      moved = true;
    }
  }
  return moved;
}

bool MoveSelectedDown(std::vector<ListRow>& rows) {
  bool moved = false;
  for (size_t i = rows.size(); i-- > 1;) {
    if (rows[i - 1].selected && !rows[i].selected) {
      SwapRows(rows, i - 1, i);
      moved = true;
    }
  }
  return moved;
}

std::vector<Task*> RemoveSelectedRows(std::vector<ListRow>& rows) {
  std::vector<Task*> removed;
  std::vector<ListRow> kept;
  for (const ListRow& row : rows) {
    if (row.selected) {
      removed.push_back(row.task);
    } else {
      row.task->orderKey = static_cast<uint32_t>(kept.size());
      kept.push_back(row);
    }
  }
  rows.swap(kept);
  return removed;
}

}  // namespace harvio
