#pragma once

#include <string>
#include <utility>
#include <variant>

namespace pelitor {

// What kind of thing went wrong, in the classes a caller tells apart by the exit status. The
// layer that finds a failure knows its kind and its message; only the driver knows the path or
// port it concerns, and common/exit_status.hpp the status it ends with.
enum class FailureKind {
    usage,            // the command line asks for something that cannot be done
    dataError,        // the input is not in a form the program can take
    noInput,          // the input cannot be opened or read
    unavailable,      // a device cannot be opened, or there is none
    cannotCreate,     // the output cannot be created, or would destroy something
    ioError,          // writing the output, or talking to a device, failed
    temporaryFailure, // the other end refused or cancelled; trying again may work
};

struct Failure {
    FailureKind kind;
    std::string message;
};

// A value, or the failure that stands in its place.
template <typename T> class Result {
  public:
    Result(T value) : state_(std::move(value)) {}
    Result(Failure failure) : state_(std::move(failure)) {}

    explicit operator bool() const { return state_.index() == 0; }
    const T& operator*() const { return std::get<0>(state_); }
    T& operator*() { return std::get<0>(state_); }
    const T* operator->() const { return &std::get<0>(state_); }
    T* operator->() { return &std::get<0>(state_); }
    const Failure& failure() const { return std::get<1>(state_); }

  private:
    std::variant<T, Failure> state_;
};

} // namespace pelitor
