// The source page: the catalog tree. Selecting an item names the source
// (0 for a folder) and its catalog path; a double click on a source goes
// on as Next does.
#include "res/resource.h"
#include "ui/center_on_screen.h"
#include "ui/wizard_pages.h"

namespace harvio::ui {
namespace {

// Images of the bitmap TREEICONS.
constexpr int kFolderImage = 0;
constexpr int kOpenFolderImage = 1;
constexpr int kSourceImage = 2;

void ShowFolderState(HWND tree, HTREEITEM item, bool expanded) {
  TVITEMA shown = {};
  shown.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  shown.hItem = item;
  shown.iImage = shown.iSelectedImage = expanded ? kOpenFolderImage : kFolderImage;
  SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&shown));
}

void FillTree(HWND tree, const std::vector<CatalogEntry>& entries) {
  std::vector<HTREEITEM> items(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    const CatalogEntry& entry = entries[i];
    TVINSERTSTRUCTA insert = {};
    insert.hParent = entry.parent < 0 ? TVI_ROOT : items[static_cast<size_t>(entry.parent)];
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<char*>(entry.name.c_str());
    insert.item.iImage = insert.item.iSelectedImage =
        entry.sourceId == 0 ? kFolderImage : kSourceImage;
    insert.item.lParam = static_cast<LPARAM>(i);  // the entry, hence its SourceId
    items[i] = reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
  }
  if (items.empty()) return;
  SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(items[0]));
  ShowFolderState(tree, items[0], true);
}

void Init(HWND page, TaskDialog& dialog) {
  CenterOnScreen(GetParent(page));
  HWND tree = GetDlgItem(page, IDC_SOURCE_TREE);
  dialog.treeIcons = ImageList_LoadImageA(GetModuleHandleA(nullptr), "TREEICONS", 16, 0,
                                          RGB(255, 0, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION);
  SendMessageA(tree, TVM_SETIMAGELIST, TVSIL_NORMAL,
               reinterpret_cast<LPARAM>(dialog.treeIcons));
  dialog.tree = LoadSourceTree();
  FillTree(tree, dialog.tree);
}

void Select(HWND page, TaskDialog& dialog, LPARAM entry) {
  int index = static_cast<int>(entry);
  if (index < 0 || static_cast<size_t>(index) >= dialog.tree.size()) return;
  dialog.data.sourceId = dialog.tree[static_cast<size_t>(index)].sourceId;
  dialog.data.catalogPath = BuildCatalogPath(dialog.tree, index);
  SetDlgItemTextA(page, IDC_SOURCE_TITLE, dialog.data.catalogPath.c_str());
}

LRESULT Notify(HWND page, TaskDialog& dialog, const NMHDR& header) {
  if (header.idFrom != IDC_SOURCE_TREE) return 0;
  if (header.code == TVN_SELCHANGEDA) {
    Select(page, dialog, reinterpret_cast<const NMTREEVIEWA&>(header).itemNew.lParam);
  } else if (header.code == TVN_ITEMEXPANDEDA) {
    const TVITEMA& item = reinterpret_cast<const NMTREEVIEWA&>(header).itemNew;
    size_t entry = static_cast<size_t>(item.lParam);
    if (entry < dialog.tree.size() && dialog.tree[entry].sourceId == 0) {
      ShowFolderState(header.hwndFrom, item.hItem, (item.state & TVIS_EXPANDED) != 0);
    }
  } else if (header.code == NM_DBLCLK && dialog.data.sourceId != 0) {
    PropSheet_PressButton(GetParent(page), PSBTN_NEXT);
    return TRUE;
  }
  return 0;
}

std::string Leave(HWND, TaskDialog& dialog) { return CheckSourcePage(dialog.data); }

}  // namespace

const PageHandlers kSourcePageHandlers = {
    kSourcePage, IDC_SOURCE_TITLE, IDC_SOURCE_TREE, Init, nullptr, Leave, nullptr, Notify};

}  // namespace harvio::ui
