#pragma once
// The exception classes the program and its libraries raise and catch.
// Messages are Windows-1252 texts; what() gives the same bytes (convert with
// ToUtf8 before writing them to a terminal).
#include <exception>
#include <string>

#include "platform/rtl/AnsiString.h"

class Exception : public std::exception {
public:
    explicit Exception(AnsiString Message) : FMessage(std::move(Message)) {}
    const AnsiString& Message() const noexcept { return FMessage; }
    void SetMessage(AnsiString Message) { FMessage = std::move(Message); }
    int HelpContext() const noexcept { return FHelpContext; }
    void SetHelpContext(int Context) noexcept { FHelpContext = Context; }
    // The class name as the libraries test it ("EConvertError").
    virtual const char* ClassName() const noexcept { return "Exception"; }
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    AnsiString FMessage;
    int FHelpContext = 0;
};

#define ZELMOR_EXCEPTION(Name, Base)                                                                         \
    class Name : public Base {                                                                               \
    public:                                                                                                  \
        using Base::Base;                                                                                    \
        const char* ClassName() const noexcept override { return #Name; }                                    \
    }

// The silent exception: it ends an operation without a message.
ZELMOR_EXCEPTION(EAbort, Exception);
ZELMOR_EXCEPTION(EConvertError, Exception);
ZELMOR_EXCEPTION(EDateTimeError, Exception);
ZELMOR_EXCEPTION(EInvalidOperation, Exception);
ZELMOR_EXCEPTION(EComponentError, Exception);
ZELMOR_EXCEPTION(EListError, Exception);
ZELMOR_EXCEPTION(EStringListError, EListError);
ZELMOR_EXCEPTION(EInvalidGridOperation, Exception);
ZELMOR_EXCEPTION(EInvalidCast, Exception);
ZELMOR_EXCEPTION(EAbstractError, Exception);
ZELMOR_EXCEPTION(EPropertyError, Exception);
ZELMOR_EXCEPTION(EOutOfMemory, Exception);
ZELMOR_EXCEPTION(EOutOfResources, Exception);
ZELMOR_EXCEPTION(EInOutError, Exception);
ZELMOR_EXCEPTION(EVariantError, Exception);
ZELMOR_EXCEPTION(EInvalidPointer, Exception);
// Streams and files.
ZELMOR_EXCEPTION(EStreamError, Exception);
ZELMOR_EXCEPTION(EFCreateError, EStreamError);
ZELMOR_EXCEPTION(EFOpenError, EStreamError);
ZELMOR_EXCEPTION(EReadError, EStreamError);
ZELMOR_EXCEPTION(EWriteError, EStreamError);
ZELMOR_EXCEPTION(EFilerError, EStreamError);
ZELMOR_EXCEPTION(EClassNotFound, EFilerError);
ZELMOR_EXCEPTION(EMethodNotFound, EFilerError);
ZELMOR_EXCEPTION(EResNotFound, Exception);
// Floating point: the runtime raises these instead of producing NaN or infinity.
ZELMOR_EXCEPTION(EMathError, Exception);
ZELMOR_EXCEPTION(EInvalidOp, EMathError);
ZELMOR_EXCEPTION(EZeroDivide, EMathError);
ZELMOR_EXCEPTION(EOverflow, EMathError);
ZELMOR_EXCEPTION(EUnderflow, EMathError);
ZELMOR_EXCEPTION(EIntError, Exception);
ZELMOR_EXCEPTION(EDivByZero, EIntError);
ZELMOR_EXCEPTION(ERangeError, EIntError);
ZELMOR_EXCEPTION(EIntOverflow, EIntError);
// Data access.
ZELMOR_EXCEPTION(EDatabaseError, Exception);

// An error of the database engine: a numeric code with its text.
class EDBEngineError : public EDatabaseError {
public:
    EDBEngineError(int ErrorCode, AnsiString Message)
        : EDatabaseError(std::move(Message)), FErrorCode(ErrorCode) {}
    const char* ClassName() const noexcept override { return "EDBEngineError"; }
    int ErrorCode() const noexcept { return FErrorCode; }

private:
    int FErrorCode;
};
