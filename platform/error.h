// Failures carry a class name besides their message because callers build
// user-facing texts such as "<prefix><class name>. <message>" from both.
#pragma once

#include <stdexcept>
#include <string>

namespace platform {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  virtual const char* ClassName() const { return "Exception"; }
  // Throws a failure of the same class with another message, for callers
  // that put context in front of a message and pass the failure on.
  [[noreturn]] virtual void RethrowWithMessage(std::string message) const {
    throw Error(std::move(message));
  }
};

#define PLATFORM_DECLARE_ERROR(Name)                              \
  class Name : public ::platform::Error {                         \
   public:                                                        \
    using ::platform::Error::Error;                               \
    const char* ClassName() const override { return #Name; }      \
    [[noreturn]] void RethrowWithMessage(std::string message) const override { \
      throw Name(std::move(message));                             \
    }                                                             \
  }

// A file could not be opened for reading.
PLATFORM_DECLARE_ERROR(EFOpenError);
// A file could not be created or replaced.
PLATFORM_DECLARE_ERROR(EFCreateError);
// An XML text could not be parsed.
PLATFORM_DECLARE_ERROR(EDOMParseError);
// An XML node was used in a way its content does not allow.
PLATFORM_DECLARE_ERROR(EXMLDocError);
// A value could not be converted to the type asked for.
PLATFORM_DECLARE_ERROR(EConvertError);
// A value that is absent (null) was read as text.
PLATFORM_DECLARE_ERROR(EVariantTypeCastError);

// The class name of any exception: ours, or a generic one for the rest.
inline const char* ClassNameOf(const std::exception& e) {
  if (auto* ours = dynamic_cast<const Error*>(&e)) return ours->ClassName();
  return "Exception";
}

// Passes a failure on with a new message, keeping its class where it has one.
[[noreturn]] inline void RethrowWithMessage(const std::exception& e, std::string message) {
  if (auto* ours = dynamic_cast<const Error*>(&e)) ours->RethrowWithMessage(std::move(message));
  throw Error(std::move(message));
}

}  // namespace platform
