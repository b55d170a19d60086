#pragma once
// The runtime's exception classes. Code raises these across C++ frames only; every entry
// point from Win32 catches them and hands them to the application's exception handler.

#include <stdexcept>
#include <string>

class Exception : public std::exception {
public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const { return message_; }
  void SetMessage(std::string message) { message_ = std::move(message); }
  const char* what() const noexcept override { return message_.c_str(); }

private:
  std::string message_;
};

#define HL_DECLARE_EXCEPTION(Name, Base)                          \
  class Name : public Base {                                      \
  public:                                                         \
    explicit Name(std::string message) : Base(std::move(message)) {} \
  }

// Raised to end an operation silently: the application's handler shows nothing for it.
HL_DECLARE_EXCEPTION(EAbort, Exception);
HL_DECLARE_EXCEPTION(EConvertError, Exception);
HL_DECLARE_EXCEPTION(EStreamError, Exception);
HL_DECLARE_EXCEPTION(EReadError, EStreamError);
HL_DECLARE_EXCEPTION(EWriteError, EStreamError);
HL_DECLARE_EXCEPTION(EFOpenError, EStreamError);
HL_DECLARE_EXCEPTION(EFCreateError, EStreamError);
HL_DECLARE_EXCEPTION(EListError, Exception);
HL_DECLARE_EXCEPTION(EStringListError, EListError);
HL_DECLARE_EXCEPTION(EInvalidGraphic, Exception);
HL_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception);
HL_DECLARE_EXCEPTION(EInvalidOperation, Exception);
HL_DECLARE_EXCEPTION(EOutOfResources, Exception);
HL_DECLARE_EXCEPTION(EComponentError, Exception);
HL_DECLARE_EXCEPTION(EPropertyError, Exception);
HL_DECLARE_EXCEPTION(EIniFileException, Exception);
HL_DECLARE_EXCEPTION(EOSError, Exception);

// Rounds to the nearest integer; an exact half goes to the even neighbour (2.5 -> 2, 3.5 -> 4).
long long Round(double value);
