// The one application object: the main window, its children, the settings
// and the task set it owns. The window is split by concern: creation and
// messages (main_window.cpp), commands (commands.cpp), layout and splitter
// (layout.cpp), the one-second tick (tick.cpp), the tray (tray.cpp) and the
// exit sequence (exit_sequence.cpp).
#pragma once

#include <cstdint>
#include <string>

#include "app/options.h"
#include "core/task.h"
#include "platform/win32/win_api.h"
#include "ui/task_list_view.h"
#include "ui/thread_list_view.h"
#include "ui/toolbar.h"

namespace harvio::ui {

inline constexpr char kCaption[] = "Harvio";
inline constexpr char kMainClassName[] = "HARVIOCLASSNAME";

struct BrowserHost;

// An error box owned by `owner`, caption "Harvio".
void ShowErrorBox(HWND owner, const char* text);
// One of the usage-tip pages, chosen at random.
std::string PickAdvertisementPage();

class MainWindow {
 public:
  explicit MainWindow(HINSTANCE instance);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Registers the classes, creates and shows the window and runs the
  // message loop; returns the quit code, or 0 when the window could not be
  // made.
  int Run(int show_command);

  HWND window() const { return window_; }
  HINSTANCE instance() const { return instance_; }
  HFONT uiFont() const { return uiFont_; }
  Options& options() { return options_; }
  TaskSet* taskSet() { return taskSet_; }
  TaskListView& taskList() { return taskList_; }

  // The help text at the left of the status bar.
  void SetStatusHelp(const char* text);
  // Out of the tray or the taskbar, restored, in front.
  void ShowMainWindow();
  // Enables 5001..5007 in the menu and on the toolbar from the rows.
  void UpdateCommandStates();
  // Starts a New or Paused task while fewer than 3 run; returns whether
  // another one may still start.
  bool StartTaskRow(Task* task, int row);
  // Pauses a running task; returns whether any task still runs.
  bool PauseTaskRow(Task* task, int row);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  bool RegisterClasses();
  bool IsForMainWindow(HWND target) const;
  void OnCreate();
  void CreateChildren();
  void ApplyLoadedOptions();
  void OnSize(WPARAM kind, int width, int height);

  // commands.cpp
  void OnCommand(WPARAM wparam);
  void OnMenuPopup(HMENU popup);
  void OnMenuSelect(UINT item, UINT flags, HMENU menu);
  bool OnNotify(const NMHDR& header, LRESULT* result);
  void NewTask();
  void StartSelectedRows();
  void PauseSelectedRows();
  void ToggleCaptions();
  void OpenSaveFolder();
  void ShowOptions();

  // layout.cpp
  void LayOut(int width, int height);
  void LayOutAgain();
  void OnSplitterDown(int y);
  void OnSplitterMove(int y);
  void OnSplitterUp();

  // tick.cpp
  void OneSecondTick();
  void ReactToStopSignal(Task* task, int row);
  void AllDoneCheck();
  void PowerOff();
  void ShowSpeed();

  // tray.cpp
  void OnTrayNotify(WPARAM id, LPARAM mouse_message);

  // exit_sequence.cpp
  void RunExitSequence(bool session_ending);
  void CloseAllTasks();
  void SaveWindowOptions();
  void DestroyChildren();

  static constexpr UINT_PTR kTickTimer = 1;

  HINSTANCE instance_;
  HWND window_ = nullptr;
  Options options_;
  TaskSet* taskSet_ = nullptr;
  HFONT uiFont_ = nullptr;
  HWND statusBar_ = nullptr;
  HWND browserPane_ = nullptr;
  HWND separatorLine_ = nullptr;
  Toolbar toolbar_;
  TaskListView taskList_;
  ThreadListView threadList_;
  BrowserHost* browserHost_ = nullptr;
  bool oleReady_ = false;
  bool dragging_ = false;
  int32_t dragY_ = 0;
  UINT taskbarCreatedMessage_ = 0;
  uint32_t adTicks_ = 0;
  bool exited_ = false;
  bool powerOffAfterExit_ = false;
};

}  // namespace harvio::ui
