// The bitmap unit's own error family. Messages are English and name the class and operation
// before a colon ("TVdDIB.SetWidth: Invalid Width"), so a report tells where a picture failed.
#pragma once

#include "platform/exception.h"

class EVdDIBError : public Exception {
  public:
    using Exception::Exception;
};

/// The bitmap data is damaged or of a kind this program does not read.
class EVdDIBInvalidDIB : public EVdDIBError {
  public:
    using EVdDIBError::EVdDIBError;
};

/// The file is not a bitmap file.
class EVdDIBInvalidDIBFile : public EVdDIBError {
  public:
    using EVdDIBError::EVdDIBError;
};

/// A size, bit count or colour count out of range was asked for.
class EVdDIBInvalidDIBPara : public EVdDIBError {
  public:
    using EVdDIBError::EVdDIBError;
};

/// A conversion was handed a bitmap of the wrong depth or compression.
class EVdDIBBadDIBType : public EVdDIBError {
  public:
    using EVdDIBError::EVdDIBError;
};

class EVdDIBInvalidPalette : public EVdDIBError {
  public:
    using EVdDIBError::EVdDIBError;
};

/// Run-length encoding would not make the bitmap smaller.
class EVdDIBCompressionFailed : public EVdDIBError {
  public:
    using EVdDIBError::EVdDIBError;
};

class EVdDIBCanvasFailed : public EVdDIBError {
  public:
    using EVdDIBError::EVdDIBError;
};

/// Raises `E` with a Latin-1 message; keeps the many raise sites short.
template <class E> [[noreturn]] void RaiseDIB(const char* message) {
    throw E(QString::fromLatin1(message));
}
