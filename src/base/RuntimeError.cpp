#include "base/RuntimeError.h"

#include <filesystem>

namespace tess {

RuntimeError::RuntimeError(int number, std::string description, std::string source)
    : std::runtime_error(description),
      number_(number),
      description_(std::move(description)),
      source_(std::move(source)) {}

DatabaseError::DatabaseError(int number, std::string description)
    : RuntimeError(number, std::move(description), "DAO.Database") {}

RuntimeError overflowError() { return {err::Overflow, "Overflow"}; }
RuntimeError subscriptError() { return {err::SubscriptOutOfRange, "Subscript out of range"}; }
RuntimeError typeMismatchError() { return {err::TypeMismatch, "Type mismatch"}; }
RuntimeError invalidUseOfNullError() { return {err::InvalidUseOfNull, "Invalid use of Null"}; }
RuntimeError objectNotSetError() {
    return {err::ObjectNotSet, "Object variable or With block variable not set"};
}
RuntimeError badRecordNumberError() { return {err::BadRecordNumber, "Bad record number"}; }

RuntimeError fileError(const std::string& path, const std::string& reason) {
    std::error_code ec;
    if (path.empty()) return {err::BadFileNameOrNumber, "Bad file name or number"};
    if (!std::filesystem::exists(path, ec)) {
        return {err::FileNotFound, "File not found: " + path};
    }
    return {err::PathFileAccess,
            "Path/File access error: " + path + (reason.empty() ? "" : ": " + reason)};
}

}  // namespace tess
