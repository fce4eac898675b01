#pragma once

#include <stdexcept>
#include <string>

namespace tess {

// Error numbers the program raises itself or maps platform failures to. The
// error boxes show them, so they keep their long-established values.
namespace err {
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int TypeMismatch = 13;
inline constexpr int BadFileNameOrNumber = 52;
inline constexpr int FileNotFound = 53;
inline constexpr int BadRecordNumber = 63;
inline constexpr int PathFileAccess = 75;
inline constexpr int ObjectNotSet = 91;
inline constexpr int InvalidUseOfNull = 94;
inline constexpr int InvalidPropertyValue = 380;
inline constexpr int InternalError = 51;
inline constexpr int Decompression = 7000;
// Database engine errors.
inline constexpr int NoCurrentRecord = 3021;
inline constexpr int DatabaseNotFound = 3024;
inline constexpr int CannotOpenDatabase = 3051;
inline constexpr int TableNotFound = 3078;
inline constexpr int ItemNotFound = 3265;
inline constexpr int UnrecognizedDatabase = 3343;
inline constexpr int IndexNotFound = 3800;
}  // namespace err

// The one error type of the program: a number, a description and a source,
// the three values every error report shows.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, std::string description, std::string source = "Tessellane");

    int number() const { return number_; }
    const std::string& description() const { return description_; }
    const std::string& source() const { return source_; }

private:
    int number_;
    std::string description_;
    std::string source_;
};

// Errors of the game database engine (missing file, table, index or field).
class DatabaseError : public RuntimeError {
public:
    DatabaseError(int number, std::string description);
};

// Factories for the errors the core raises in several places.
RuntimeError overflowError();
RuntimeError subscriptError();
RuntimeError typeMismatchError();
RuntimeError invalidUseOfNullError();
RuntimeError objectNotSetError();
// A negative position in a file.
RuntimeError badRecordNumberError();
// A file that cannot be opened, read or written: "File not found" (53) when
// it does not exist, else "Path/File access error" (75), with the system's
// reason after the path when one is given ("No space left on device").
RuntimeError fileError(const std::string& path, const std::string& reason = {});

}  // namespace tess
