#include "ui/browse_folder.h"

#include <shlobj.h>

namespace harvio::ui {
namespace {

// OK is offered only while the selected item is a file-system folder.
int CALLBACK OnPickerEvent(HWND picker, UINT event, LPARAM item, LPARAM) {
  if (event == BFFM_SELCHANGED) {
    char path[MAX_PATH];
    BOOL isFolder = SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(item), path);
    SendMessageA(picker, BFFM_ENABLEOK, 0, isFolder);
  }
  return 0;
}

void FreeItemList(LPITEMIDLIST items) {
  IMalloc* allocator = nullptr;
  if (SUCCEEDED(SHGetMalloc(&allocator))) {
    allocator->Free(items);
    allocator->Release();
  }
}

}  // namespace

bool BrowseForFolder(const std::string& title, HWND owner, std::string* path) {
  // The picker's new style needs COM on this thread; a thread that has it
  // already keeps it.
  HRESULT com = CoInitialize(nullptr);
  char name[MAX_PATH] = "";
  BROWSEINFOA info = {};
  info.hwndOwner = owner;
  info.pszDisplayName = name;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  info.lpfn = OnPickerEvent;
  bool picked = false;
  if (LPITEMIDLIST items = SHBrowseForFolderA(&info)) {
    char folder[MAX_PATH];
    if (SHGetPathFromIDListA(items, folder)) {
      *path = folder;
      picked = true;
    }
    FreeItemList(items);
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return picked;
}

}  // namespace harvio::ui
