// The steps of the new-task wizard (see tests/data/wine/wizard.steps) that
// the dialog steps cannot say: the source tree's items, found by the
// catalog's order, and the task row that finishing the wizard makes.
#include "platform/win32/win_api.h"

#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"
#include "sources/catalog.h"
#include "tests/wine/ui_driver.h"

namespace harvio::uitest {
namespace {

// The tree item of catalog entry `entry`, found by its place among its
// siblings: no item data has to be read from the tree's process.
HTREEITEM TreeItemOf(HWND tree, const std::vector<CatalogEntry>& catalog, int entry) {
  int parent = catalog[static_cast<size_t>(entry)].parent;
  HTREEITEM item = parent < 0 ? TreeView_GetRoot(tree)
                              : TreeView_GetChild(tree, TreeItemOf(tree, catalog, parent));
  for (int i = parent < 0 ? 0 : parent + 1; i < entry && item != nullptr; ++i) {
    if (catalog[static_cast<size_t>(i)].parent == parent) {
      item = TreeView_GetNextSibling(tree, item);
    }
  }
  return item;
}

// Selects the tree item of source ID, or of the folder at catalog entry
// -ID when negative.
HTREEITEM SelectSource(Session& s, const std::string& id) {
  static const std::vector<CatalogEntry> catalog = LoadSourceTree();
  int source = std::atoi(id.c_str());
  int entry = source < 0 ? -source : FindCatalogEntry(catalog, static_cast<uint32_t>(source));
  HWND tree = GetDlgItem(CurrentPage(TopDialog(s)), IDC_SOURCE_TREE);
  HTREEITEM item = entry < 0 || tree == nullptr ? nullptr : TreeItemOf(tree, catalog, entry);
  if (item != nullptr) TreeView_SelectItem(tree, item);
  return item;
}

// A double click on the item, posted where the tree shows it.
bool OpenSource(Session& s, const Args& a) {
  HTREEITEM item = SelectSource(s, a[0]);
  if (item == nullptr) return Fail("no tree item of " + a[0]);
  HWND tree = GetDlgItem(CurrentPage(TopDialog(s)), IDC_SOURCE_TREE);
  // TVM_GETITEMRECT takes the item in the rectangle it fills.
  RemoteBlock block(tree, sizeof(RECT));
  RECT box = {};
  std::memcpy(&box, &item, sizeof(item));
  block.Write(0, &box, sizeof(box));
  SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(block.address()));
  block.Read(block.address(), &box, sizeof(box));
  LPARAM at = MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2);
  for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
    PostMessageA(tree, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
  }
  return true;
}

// "完成" pressed on the finish page (Back there too): the wizard closes
// and the new task's row is added, the only one selected, and in sight.
bool Finish(Session& s, const Args&) {
  HWND sheet = TopDialog(s);
  HWND back = GetDlgItem(sheet, Id(s, "back")), finish = GetDlgItem(sheet, Id(s, "finish"));
  if (WindowText(finish) != Utf8ToGbk("完成") || !IsWindowEnabled(finish)) {
    return Fail("the Finish button reads " + GbkToUtf8(WindowText(finish)));
  }
  if (!IsWindowVisible(back) || !IsWindowEnabled(back)) return Fail("no Back on the finish page");
  int row = ListView_GetItemCount(s.tasks);
  s.dialogs.pop_back();
  PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
  if (!WaitUntil([&] { return !IsWindow(sheet) && ListView_GetItemCount(s.tasks) == row + 1; })) {
    return Fail("no new row after the wizard");
  }
  if (ListView_GetSelectedCount(s.tasks) != 1 ||
      ListView_GetNextItem(s.tasks, -1, LVNI_SELECTED) != row) {
    return Fail("the new row is not the only one selected");
  }
  int top = static_cast<int>(SendMessageA(s.tasks, LVM_GETTOPINDEX, 0, 0));
  int shown = static_cast<int>(SendMessageA(s.tasks, LVM_GETCOUNTPERPAGE, 0, 0));
  return (row >= top && row < top + shown) || Fail("the new row is out of sight");
}

}  // namespace

const std::vector<StepKind> kWizardSteps = {
    {"source", 1,
     [](Session& s, const Args& a) {
       return SelectSource(s, a[0]) != nullptr || Fail("no tree item of " + a[0]);
     }},
    {"open-source", 1, OpenSource},
    {"finish", 0, Finish},
};

}  // namespace harvio::uitest
