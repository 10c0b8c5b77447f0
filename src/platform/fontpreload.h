// The system's font configuration loaded on a thread of its own while the program starts.
#pragma once

#include <thread>

/// fontconfig reads and parses its configuration (some sixty XML files on a Debian desktop)
/// the first time any font is asked for, about ten milliseconds in which nothing else
/// happens. Started at the beginning of main, it is done by the time the first text is laid
/// out or the window painted. fontconfig sets its configuration up atomically: should Qt ask
/// for a font before this is done, each loads it and one copy is dropped. Joined when
/// destroyed.
class TFontConfigPreload {
  public:
    TFontConfigPreload();
    ~TFontConfigPreload();
    TFontConfigPreload(const TFontConfigPreload&) = delete;
    TFontConfigPreload& operator=(const TFontConfigPreload&) = delete;

  private:
    std::thread FThread;
};
