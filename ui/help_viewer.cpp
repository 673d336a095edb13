#include "ui/help_viewer.h"

#include <string>

#include "platform/paths.h"
#include "platform/win32/win_api.h"
#include "ui/html_engine.h"

#include <shellapi.h>

namespace harvio::ui {
namespace {

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

constexpr char kViewerKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr char kViewerLibrary[] = "hhctrl.ocx";
constexpr WORD kHtmlHelpOrdinal = 14;  // HtmlHelpA
constexpr UINT kDisplayTopic = 0;
constexpr char kHelpFile[] = "Introduction.chm";
constexpr char kHelpPages[] = "help\\index.html";  // the help file's pages as they are

enum class ViewerState { kNotLoaded, kLoaded, kMissing };

ViewerState g_state = ViewerState::kNotLoaded;
HtmlHelpFunction g_htmlHelp = nullptr;

// The viewer's library as the system registered it.
HMODULE LoadRegisteredViewer() {
  char path[MAX_PATH] = {};
  LONG size = sizeof path;
  if (RegQueryValueA(HKEY_CLASSES_ROOT, kViewerKey, path, &size) != ERROR_SUCCESS) return nullptr;
  path[sizeof path - 1] = '\0';
  return LoadLibraryA(path);
}

bool LoadViewer() {
  HMODULE library = LoadRegisteredViewer();
  if (library == nullptr) library = LoadLibraryA(kViewerLibrary);
  if (library == nullptr) return false;
  g_htmlHelp = reinterpret_cast<HtmlHelpFunction>(
      reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(kHtmlHelpOrdinal))));
  return g_htmlHelp != nullptr;
}

// The viewer would stay blank: the same pages go to the system's browser,
// by the file's own association or else by the class of HTML files (Wine
// registers only the class when it has no HTML engine).
void OpenHelpPages() {
  std::string index = platform::ExecutableDirectory() + kHelpPages;
  SHELLEXECUTEINFOA open = {};
  open.cbSize = sizeof open;
  open.fMask = SEE_MASK_FLAG_NO_UI;
  open.lpVerb = "open";
  open.lpFile = index.c_str();
  open.nShow = SW_SHOWNORMAL;
  if (ShellExecuteExA(&open)) return;
  open.fMask |= SEE_MASK_CLASSNAME;
  open.lpClass = "htmlfile";
  ShellExecuteExA(&open);
}

}  // namespace

void ShowHelp() {
  if (!HtmlEngineAvailable()) {
    OpenHelpPages();
    return;
  }
  if (g_state == ViewerState::kNotLoaded) {
    g_state = LoadViewer() ? ViewerState::kLoaded : ViewerState::kMissing;
  }
  if (g_state != ViewerState::kLoaded) return;
  std::string file = platform::ExecutableDirectory() + kHelpFile;
  g_htmlHelp(nullptr, file.c_str(), kDisplayTopic, 0);
}

}  // namespace harvio::ui
