#pragma once

#include <QString>

#include "JournalSharing.h"

namespace k57 {

// The shared journal's state as the journal window's line says it: the
// server (never a password) or this PC alone, what waits, the last push
// and pull, the last problem.
QString SharingStateText(const SharingState& state);
// The main window's line: "Журнал: 3 записи ждут отправки на сервер" while
// entries wait for a configured server; empty otherwise.
QString WaitingText(const SharingState& state);
// Why they wait, in plain words (the main window's tooltip); empty when the
// last try went through.
QString SharingProblemText(const SharingState& state);
// What setting the server came to, for a message box.
QString ServerTryText(const ServerTry& result, bool fromEnvironment);
// The stored server forgotten.
QString ServerClearedText(bool fromEnvironment);

}  // namespace k57
