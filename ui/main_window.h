// The one application object: the main window, its children and the
// settings it owns.
#pragma once

#include "core/options.h"
#include "platform/win32/win_api.h"

namespace harvio::ui {

inline constexpr char kCaption[] = "Harvio";
inline constexpr char kMainClassName[] = "HARVIOCLASSNAME";

class MainWindow {
 public:
  explicit MainWindow(HINSTANCE instance) : instance_(instance) {}

  // Registers the class, creates and shows the window and runs the message
  // loop; returns the quit code, or 0 when the window could not be made.
  int Run(int show_command);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam,
                                     LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  bool RegisterClasses();
  void OnCreate();
  void OnCommand(WPARAM wparam, LPARAM lparam);
  void OnDestroy();
  void LayOut(int width, int height);
  void ShowMainWindow();

  HINSTANCE instance_;
  HWND window_ = nullptr;
  HFONT uiFont_ = nullptr;
  HWND statusBar_ = nullptr;
  Options options_;
};

}  // namespace harvio::ui
