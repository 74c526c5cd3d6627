#pragma once

#include <string>
#include <utility>
#include <variant>

namespace pelitor {

// What kind of thing went wrong. The layer that finds a failure knows its kind and its
// message; only the driver knows the path it concerns and the exit status it ends with.
enum class FailureKind {
    usage,        // the command line asks for something that cannot be done
    unusable,     // the input is not a WAV file, or not one that SDS can carry
    unreadable,   // the input cannot be opened or read
    cannotCreate, // the output cannot be created, or would destroy something
    writeFailed,  // writing the output failed
    unavailable,  // a device cannot be opened, or there is none
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
