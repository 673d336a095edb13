// The scenario interpreter: reads a file of steps (tests/data/wine/) and
// runs them against harvio.exe, with the steps on any dialog here and those
// of the main window and the wizard beside it.
#include "platform/win32/win_api.h"

#include <commctrl.h>
#include <prsht.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/wine/ui_driver.h"

namespace harvio::uitest {
namespace {

constexpr int kMessageTextId = 0xFFFF;  // the text of a message box

// A visible dialog or message box of the program that the scenario did
// not open.
HWND NewPopup(const Session& s) { return FindShown(s.program.id(), "#32770", s.dialogs); }

// A popup's title and, for a message box, its text.
std::string Described(HWND popup) {
  return "\"" + GbkToUtf8(WindowText(popup)) + "\" \"" +
         GbkToUtf8(WindowText(GetDlgItem(popup, kMessageTextId))) + "\"";
}

// The message box saying `gbk` closed with OK; the main window is shown.
bool ExpectBox(Session& s, const std::string& gbk) {
  HWND box = nullptr;
  WaitUntil([&] { return (box = NewPopup(s)) != nullptr; });
  if (box == nullptr) return Fail("no message box appeared");
  std::string said = WindowText(GetDlgItem(box, kMessageTextId));
  if (said != gbk) return Fail("the box says \"" + GbkToUtf8(said) + "\"");
  if (WindowText(box) != "Harvio") return Fail("the box is not captioned Harvio");
  if (!IsWindowVisible(s.main) || IsIconic(s.main)) return Fail("the main window is not shown");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  return WaitUntil([&] { return !IsWindow(box); }) || Fail("the box did not close");
}

// The control `name` of the innermost dialog: on its current page if it
// is a property sheet and the page has it, else on the dialog itself.
HWND Control(const Session& s, const std::string& name) {
  HWND dialog = TopDialog(s);
  HWND page = dialog == nullptr ? nullptr : CurrentPage(dialog);
  HWND control = page == nullptr ? nullptr : GetDlgItem(page, Id(s, name));
  if (control == nullptr && dialog != nullptr) control = GetDlgItem(dialog, Id(s, name));
  if (control == nullptr) Fail("no control " + name);
  return control;
}

bool SendTo(const Session& s, const std::string& name, UINT message, WPARAM wparam, LPARAM lparam) {
  HWND control = Control(s, name);
  if (control != nullptr) SendMessageA(control, message, wparam, lparam);
  return control != nullptr;
}

// A condition on a control, waited for.
bool WaitControl(const Session& s, const Args& a, const std::function<bool(HWND)>& holds,
                 const std::string& what) {
  HWND control = Control(s, a[0]);
  return control != nullptr &&
         (WaitUntil([&] { return holds(control); }) ||
          Fail(a[0] + " " + what + ": \"" + GbkToUtf8(WindowText(control)) + "\""));
}

bool OpenDialog(Session& s, const Args& a) {
  HWND dialog = nullptr;
  if (!WaitUntil([&] { return (dialog = NewPopup(s)) != nullptr; })) {
    return Fail("no dialog opened");
  }
  s.dialogs.push_back(dialog);
  return WaitUntil([&] { return WindowText(dialog) == a[0]; }) ||
         Fail("the dialog is titled " + GbkToUtf8(WindowText(dialog)));
}

// The program places its dialogs with their centre at 40% of the screen.
bool Placed(Session& s, const Args&) {
  RECT box;
  GetWindowRect(TopDialog(s), &box);
  long dx = (box.left + box.right) / 2 - GetSystemMetrics(SM_CXSCREEN) * 2 / 5;
  long dy = (box.top + box.bottom) / 2 - GetSystemMetrics(SM_CYSCREEN) * 2 / 5;
  return (dx >= -2 && dx <= 2 && dy >= -2 && dy <= 2) || Fail("not at 40% of the screen");
}

bool Closed(Session& s, const Args&) {
  HWND dialog = TopDialog(s);
  s.dialogs.pop_back();
  return WaitUntil([&] { return !IsWindow(dialog); }) ||
         Fail("the dialog stays open; in front: " + Described(NewPopup(s)));
}

// A sheet's own buttons by PSBTN_ index (PSM_PRESSBUTTON acts even on a
// disabled one, so that is checked first); a dialog's by command.
bool Press(Session& s, const Args& a) {
  static const char* const kSheetButtons[] = {"back", "next", "finish", "ok", "apply", "cancel"};
  HWND dialog = TopDialog(s);
  HWND button = Control(s, a[0]);
  if (button == nullptr || !IsWindow(dialog)) return Fail("the dialog is gone");
  if (!IsWindowEnabled(button)) return Fail(a[0] + " is disabled");
  if (CurrentPage(dialog) == nullptr) return PostMessageA(dialog, WM_COMMAND, Id(s, a[0]), 0) != 0;
  for (int i = 0; i < 6; ++i) {
    if (a[0] == kSheetButtons[i]) return PostMessageA(dialog, PSM_PRESSBUTTON, i, 0) != 0;
  }
  return Fail("no sheet button " + a[0]);
}

// The page of template IDD_... shows (its first control is IDD_... + 1),
// and no message box stands in front of it.
bool Page(Session& s, const Args& a) {
  int first = Id(s, a[0]) + 1;
  return WaitUntil([&] {
           HWND page = CurrentPage(TopDialog(s));
           return page != nullptr && GetDlgItem(page, first) != nullptr && NewPopup(s) == nullptr;
         }) ||
         Fail("page " + a[0] + " does not show; in front: " + Described(NewPopup(s)));
}

// Buttons are posted: what they open runs a modal loop of its own.
bool Click(Session& s, const Args& a) {
  HWND control = Control(s, a[0]);
  return control != nullptr &&
         PostMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED),
                      reinterpret_cast<LPARAM>(control)) != 0;
}

// The steps on any dialog: the innermost one the scenario opened, or the
// current page of it.
const std::vector<StepKind> kDialogSteps = {
    {"dialog", 1, OpenDialog},  // a new dialog titled TEXT
    {"title", 1,
     [](Session& s, const Args& a) {
       return WaitUntil([&] { return WindowText(TopDialog(s)) == a[0]; }) ||
              Fail("the dialog is titled " + GbkToUtf8(WindowText(TopDialog(s))));
     }},
    {"placed", 0, Placed},
    {"closed", 0, Closed},
    {"press", 1, Press},  // back|next|finish|ok|cancel
    {"page", 1, Page},
    {"go-page", 1,
     [](Session& s, const Args& a) {
       return PostMessageA(TopDialog(s), PSM_SETCURSEL, std::atoi(a[0].c_str()), 0) != 0;
     }},
    {"click", 1, Click},
    // What a user's typing, ticking and choosing would send.
    {"set", 2,
     [](Session& s, const Args& a) {
       return SendTo(s, a[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[1].c_str()));
     }},
    {"tick", 2,
     [](Session& s, const Args& a) { return SendTo(s, a[0], BM_SETCHECK, a[1] == "1", 0); }},
    {"choose", 2,
     [](Session& s, const Args& a) {
       return SendTo(s, a[0], CB_SETCURSEL, std::atoi(a[1].c_str()), 0);
     }},
    {"expect", 2,
     [](Session& s, const Args& a) {
       return WaitControl(
           s, a, [&](HWND c) { return WindowText(c) == a[1]; }, "reads");
     }},
    {"expect-enabled", 2,
     [](Session& s, const Args& a) {
       return WaitControl(
           s, a, [&](HWND c) { return (IsWindowEnabled(c) != 0) == (a[1] == "1"); },
           "enabled is not " + a[1]);
     }},
    {"expect-visible", 2,
     [](Session& s, const Args& a) {
       return WaitControl(
           s, a, [&](HWND c) { return (IsWindowVisible(c) != 0) == (a[1] == "1"); },
           "visible is not " + a[1]);
     }},
    {"box", 1, [](Session& s, const Args& a) { return ExpectBox(s, a[0]); }},
    {"sleep", 1,
     [](Session&, const Args& a) {
       Sleep(static_cast<DWORD>(std::atoi(a[0].c_str())));
       return true;
     }},
};

// The names of res/resource.h, and the sheet buttons' by what they say.
bool LoadIds(Session& s) {
  std::ifstream header("Z:" HARVIO_SOURCE_DIR "/res/resource.h");
  std::string line, define, name;
  while (std::getline(header, line)) {
    std::istringstream words(line);
    int id = 0;
    if (words >> define >> name >> id && define == "#define") s.ids[name] = id;
  }
  s.ids.insert(
      {{"back", 0x3023}, {"next", 0x3024}, {"finish", 0x3025}, {"ok", IDOK}, {"cancel", IDCANCEL}});
  return s.ids.count("IDC_TASK_LIST") != 0 || Fail("res/resource.h unread");
}

bool Start(Session& s) {
  if (!s.program.Start(s.exe)) return Fail("harvio.exe could not be started");
  s.main = WaitForMainWindow();
  if (s.main == nullptr) return Fail("the main window did not appear");
  s.tasks = GetDlgItem(s.main, IDC_TASK_LIST);
  s.threads = GetDlgItem(s.main, IDC_THREAD_LIST);
  if (s.tasks == nullptr || s.threads == nullptr) return Fail("the main window has no lists");
  return true;
}

// Runs one line: its step name, then its arguments split at single blanks,
// the last one taking the rest of the line (empty when the line ends
// before it). "\r\n" in a text is CR LF.
bool RunLine(Session& s, const std::string& line) {
  size_t blank = line.find(' ');
  std::string name = line.substr(0, blank);
  for (const auto* steps : {&kDialogSteps, &kMainWindowSteps, &kWizardSteps}) {
    for (const StepKind& kind : *steps) {
      if (name != kind.name) continue;
      Args args;
      for (size_t start = blank; args.size() < kind.args; start = blank) {
        bool last = args.size() + 1 == kind.args;
        if (start == std::string::npos && !last) {
          return Fail(name + " takes " + std::to_string(kind.args));
        }
        blank = last || start == std::string::npos ? std::string::npos : line.find(' ', start + 1);
        std::string arg =
            start == std::string::npos ? "" : line.substr(start + 1, blank - start - 1);
        for (size_t at; (at = arg.find("\\r\\n")) != std::string::npos;) arg.replace(at, 4, "\r\n");
        args.push_back(Utf8ToGbk(arg));
      }
      return kind.run(s, args);
    }
  }
  return Fail("unknown step " + name);
}

}  // namespace

}  // namespace harvio::uitest

// wine_ui_test.exe PATH\harvio.exe [SCENARIO [NAME=VALUE...]]: starts the
// program and runs tests/data/wine/SCENARIO.steps (start.steps when none is
// named) against it, {NAME} in a line replaced by VALUE (plain ASCII: the
// arguments come in the system's code page). Blank lines and lines starting
// with "#" are skipped. Each step is printed before it runs; the first that
// fails prints "FAIL: ..." and ends the run, the program killed if still
// running.
int main(int argc, char** argv) {
  using namespace harvio::uitest;
  std::vector<std::string> arguments(argv, argv + argc);
  if (arguments.size() < 2) {
    Fail("usage: wine_ui_test PATH\\harvio.exe [SCENARIO [NAME=VALUE...]]");
    return 1;
  }
  std::string name = arguments.size() > 2 ? arguments[2] : "start";
  std::ifstream scenario("Z:" HARVIO_SOURCE_DIR "/tests/data/wine/" + name + ".steps");
  Session session;
  session.exe = arguments[1];
  if (!scenario) Fail("no scenario " + name);
  if (!scenario || !LoadIds(session) || !Start(session)) return 1;
  std::string line;
  bool ran = false;
  while (std::getline(scenario, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    for (size_t i = 3; i < arguments.size(); ++i) {
      size_t equals = arguments[i].find('=');
      std::string key = "{" + arguments[i].substr(0, equals) + "}";
      for (size_t at; (at = line.find(key)) != std::string::npos;) {
        line.replace(at, key.size(), arguments[i].substr(equals + 1));
      }
    }
    std::printf("step %s\n", line.c_str());
    std::fflush(stdout);
    if (!RunLine(session, line)) return 1;
    ran = true;
  }
  if (!ran) {
    Fail("no steps in " + name);
    return 1;
  }
  std::printf("ok\n");
  return 0;
}
