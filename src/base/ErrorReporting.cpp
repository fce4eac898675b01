#include "base/ErrorReporting.h"

#include <cstdint>
#include <new>

namespace tess {
namespace {

// The report keeps error numbers in 16 bits.
std::int16_t reportedNumber(const RuntimeError& error) {
    return static_cast<std::int16_t>(error.number());
}

}  // namespace

MessageRequest ProcessingErrorBox() {
    return {
        "An unexpected error occured and the request could not be processed. Please try "
        "reloading the program and try again. If this persists, constact Wren and tell "
        "him where this is happening and what game you're trying to use",
        "Processing error!", MsgIcon::Critical, MsgButtons::Ok};
}

void ShowProcessingError(CommonDlg& dlg) { dlg.message(ProcessingErrorBox()); }

MessageRequest RuntimeErrorBox(const RuntimeError& error) {
    return {"Runtime Error: " + std::to_string(reportedNumber(error)) + "\r\n'" +
                error.description() + "'\r\n\r\nSource: " + error.source(),
            "Generic Runtime Error Handler", MsgIcon::Critical, MsgButtons::Ok};
}

void HandleRuntimeError(CommonDlg& dlg, const RuntimeError& error) {
    if (reportedNumber(error) == err::ObjectNotSet) return;
    dlg.message(RuntimeErrorBox(error));
}

void ShowFatalError(CommonDlg& dlg, const RuntimeError& error) {
    dlg.message(
        {"Run-time error '" + std::to_string(error.number()) + "':\r\n\r\n" + error.description(),
         kAppTitle, MsgIcon::Critical, MsgButtons::Ok});
}

void skipOnError(const std::function<void()>& statement) {
    try {
        statement();
    } catch (const RuntimeError&) {
    }
}

void reportErrors(CommonDlg& dlg, const std::function<void()>& run) {
    try {
        run();
    } catch (...) {
        HandleRuntimeError(dlg, asRuntimeError(std::current_exception()));
    }
}

void endOnError(CommonDlg& dlg, const std::function<void()>& run,
                const std::function<void(int)>& endProcess) {
    try {
        run();
    } catch (...) {
        ShowFatalError(dlg, asRuntimeError(std::current_exception()));
        endProcess(1);
    }
}

RuntimeError asRuntimeError(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const RuntimeError& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return {err::OutOfMemory, "Out of memory"};
    } catch (const std::exception& e) {
        return {err::InternalError, std::string("Internal error: ") + e.what()};
    } catch (...) {
        return {err::InternalError, "Internal error"};
    }
}

}  // namespace tess
