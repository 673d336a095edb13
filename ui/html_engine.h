// Whether this system can show HTML inside the program's own windows. The
// tips pane's browser control and the help viewer both draw through the
// system's HTML engine; where it is missing (Wine without its Gecko, for
// one) they stay blank, so the program shows the same texts another way.
#pragma once

namespace harvio::ui {

// True when the HTML document object can be created. COM must be
// initialised on the calling thread; the answer is found once per run.
bool HtmlEngineAvailable();

}  // namespace harvio::ui
