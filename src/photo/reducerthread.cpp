#include "reducerthread.h"

TReducerThread::TReducerThread(TAreaReducer& reducer, int width, int bandRows) : FReducer(reducer) {
    for (QImage& band : FBands)
        band = QImage(width, bandRows, QImage::Format_RGB32);
    if (Ready())
        FThread = std::thread([this] { Run(); });
}

TReducerThread::~TReducerThread() {
    {
        std::lock_guard lock(FMutex);
        FStop = true;
    }
    FChanged.notify_all();
    if (FThread.joinable())
        FThread.join();
}

QImage& TReducerThread::NextBand() {
    std::unique_lock lock(FMutex);
    FChanged.wait(lock, [this] { return FFilled - FReduced < Bands; });
    return FBands[FFilled % Bands];
}

void TReducerThread::Filled(int rows) {
    {
        std::lock_guard lock(FMutex);
        FRows[FFilled % Bands] = rows;
        ++FFilled;
    }
    FChanged.notify_all();
}

void TReducerThread::Finish() {
    std::unique_lock lock(FMutex);
    FChanged.wait(lock, [this] { return FReduced == FFilled; });
}

void TReducerThread::Run() {
    for (;;) {
        int index = 0;
        int rows = 0;
        {
            std::unique_lock lock(FMutex);
            FChanged.wait(lock, [this] { return FStop || FReduced < FFilled; });
            if (FStop)
                return;
            index = static_cast<int>(FReduced % Bands);
            rows = FRows[index];
        }
        const QImage& band = FBands[index];
        for (int r = 0; r < rows; ++r)
            FReducer.AddRow(reinterpret_cast<const QRgb*>(band.constScanLine(r)));
        {
            std::lock_guard lock(FMutex);
            ++FReduced;
        }
        FChanged.notify_all();
    }
}
