// The help file Introduction.chm beside harvio.exe, shown by the HTML Help
// viewer, which is loaded when help is first asked for. Without an HTML
// engine the viewer shows nothing, so the same pages, shipped as files in
// help\ beside the help file, open in the system's browser instead.
#pragma once

namespace harvio::ui {

// Opens the help file's default topic. Does nothing, now and for the rest
// of the run, when the viewer cannot be loaded.
void ShowHelp();

}  // namespace harvio::ui
