#pragma once
// How a command that failed tells the host why: one error entry in the host's log, titled with
// the command, whose text is the reason made where the failure arose. It never opens a dialog,
// so an unattended export or import never waits for a click.
#include <maxapi.h>

// `reason` is UTF-8 text (file names travel so); an entry longer than the host's log takes is cut.
void reportFailure(Interface* ip, const wchar_t* title, const char* reason) noexcept;
