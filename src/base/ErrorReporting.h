#pragma once

#include <functional>

#include "base/CommonDlg.h"
#include "base/RuntimeError.h"

namespace tess {

// The fixed box for a request that could not be processed; never varies.
MessageRequest ProcessingErrorBox();
void ShowProcessingError(CommonDlg& dlg);

// The box that reports an error caught by the sprite selection.
MessageRequest RuntimeErrorBox(const RuntimeError& error);

// Reports an error caught by the sprite selection; silent for err::ObjectNotSet. The number
// is narrowed to 16 bits first, as the report can only show such numbers.
void HandleRuntimeError(CommonDlg& dlg, const RuntimeError& error);

// The platform's message for an error nobody catches; the caller then ends the
// process.
void ShowFatalError(CommonDlg& dlg, const RuntimeError& error);

// The ways a handler treats the errors of what it runs; each runs `run` and
// returns normally whatever it raised.
//
// "Skip on error": passes over any program error of one statement.
void skipOnError(const std::function<void()>& statement);
// The sprite selection's trap: reports an error through HandleRuntimeError.
void reportErrors(CommonDlg& dlg, const std::function<void()>& run);
// Not caught: the platform's message (ShowFatalError), then endProcess(1).
void endOnError(CommonDlg& dlg, const std::function<void()>& run,
                const std::function<void(int exitCode)>& endProcess);

// Turns any exception that escapes a handler into the program's error type, so
// that every path reports a number and a description.
RuntimeError asRuntimeError(std::exception_ptr error);

}  // namespace tess
