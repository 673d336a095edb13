// The help file Introduction.chm beside harvio.exe, shown by the HTML Help
// viewer, which is loaded when help is first asked for.
#pragma once

namespace harvio::ui {

// Opens the help file's default topic. Does nothing, now and for the rest
// of the run, when the viewer cannot be loaded.
void ShowHelp();

}  // namespace harvio::ui
