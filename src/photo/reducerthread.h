// Feeds an area reducer from a thread of its own, band by band, so that reducing a picture
// overlaps decoding it: the decoder fills one band while the reducer reads the one before.
#pragma once

#include <array>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <QImage>

#include "platform/areareducer.h"

class TReducerThread {
  public:
    /// Bands of `bandRows` rows of `width` pixels for `reducer`, which must outlive this.
    TReducerThread(TAreaReducer& reducer, int width, int bandRows);
    /// Stops the thread once it has finished the band it is reading; the rest is dropped.
    ~TReducerThread();
    TReducerThread(const TReducerThread&) = delete;
    TReducerThread& operator=(const TReducerThread&) = delete;

    /// False when the bands could not be allocated (nothing may then be handed over).
    bool Ready() const { return !FBands.back().isNull(); }
    /// The next band to fill; waits while the reducer is still reading it.
    QImage& NextBand();
    /// Hands over the band NextBand gave, holding `rows` rows from its top.
    void Filled(int rows);
    /// Waits until every band handed over has been reduced.
    void Finish();

  private:
    static constexpr int Bands = 3;
    void Run();

    TAreaReducer& FReducer;
    std::array<QImage, Bands> FBands;
    std::array<int, Bands> FRows{};
    std::mutex FMutex;
    std::condition_variable FChanged;
    long FFilled = 0;  // bands handed over
    long FReduced = 0; // bands the reducer has finished
    bool FStop = false;
    std::thread FThread; // last: started once everything above exists
};
