// The shell's folder picker, shared by the options sheet and the task
// dialogs.
#pragma once

#include <string>

#include "platform/win32/win_api.h"

namespace harvio::ui {

// Lets the user pick a file-system folder, modal to `owner`. On OK `path`
// gets the folder's full path as the picker gives it (no final "\\" except
// for a drive root) and true is returned; otherwise `path` stays.
bool BrowseForFolder(const std::string& title, HWND owner, std::string* path);

}  // namespace harvio::ui
