#pragma once
// Errors as values: every library call that can fail returns a Result<T>,
// which holds either the value or an Error with a code and a one-line message.
// Nothing in the library throws across its API, prints or exits.

#include "Export.h"
#include <string>
#include <utility>
#include <variant>

namespace korvane {

enum class ErrorCode {
    UnknownSymbology,  // the name matches no symbology or alias
    InvalidData,       // a character the symbology cannot encode, wrong length, empty data
    CheckDigit,        // a supplied check digit does not match the data
    DataTooLong,       // more data than the largest symbol holds
    InvalidOption,     // an option outside its range or not valid for the symbology
    SizeTooLarge,      // a layout or raster beyond the limits (X of a metre, 10^6 dpi, 2^28 pixels)
    UnknownFormat,     // no writer for the format or file extension
    WriteFailed,       // the output could not be written
    VerifyFailed,      // the symbol read back differs from the data
};

// A short stable name for the code ("invalid-data"), for reports.
KORVANE_API const char* errorCodeName(ErrorCode code);

struct Error {
    ErrorCode code;
    std::string message;  // one line, no trailing newline
};

template <typename T>
class Result {
public:
    Result(T value) : state_(std::move(value)) {}          // NOLINT: implicit by design
    Result(Error error) : state_(std::move(error)) {}      // NOLINT: implicit by design
    Result(ErrorCode code, std::string message) : state_(Error{code, std::move(message)}) {}
    // A value made in place by its default constructor, for a caller that
    // fills it in and returns it: a large value is then never moved.
    explicit Result(std::in_place_t) : state_(std::in_place_index<0>) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    // The value; only when ok().
    T& value() & { return std::get<0>(state_); }
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T&& operator*() && { return std::move(*this).value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    // The error; only when !ok().
    const Error& error() const { return std::get<1>(state_); }

private:
    std::variant<T, Error> state_;
};

// For calls that return nothing but may fail.
struct Done {};
using Status = Result<Done>;

}  // namespace korvane
