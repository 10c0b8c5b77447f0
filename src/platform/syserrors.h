// The class library's standard error classes that the picture classes raise besides their own:
// stream reads and writes that come up short, exhausted memory or system resources, and broken
// internal invariants (assertions). EInvalidGraphic lives with the graphic classes.
#pragma once

#include "exception.h"

/// A stream ended before the bytes that were asked for, or could not be read.
class EReadError : public Exception {
  public:
    EReadError();
    using Exception::Exception;
};

/// A stream took fewer bytes than were written to it.
class EWriteError : public Exception {
  public:
    EWriteError();
    using Exception::Exception;
};

/// Memory for a picture could not be had.
class EOutOfMemory : public Exception {
  public:
    EOutOfMemory();
    using Exception::Exception;
};

/// A system object (a shared memory mapping, a palette) could not be made.
class EOutOfResources : public Exception {
  public:
    using Exception::Exception;
};

/// An internal invariant does not hold: a fault of the program, never of its input.
class EAssertionFailed : public Exception {
  public:
    using Exception::Exception;
};

/// Raises EAssertionFailed with `message` when `condition` is false.
inline void Assert(bool condition, const char* message) {
    if (!condition)
        throw EAssertionFailed(QString::fromLatin1(message));
}
