#include "photodecoder.h"

#include <algorithm>
#include <new>
#include <thread>

#include <QCoreApplication>

#include "photoimage.h"

struct TPhotoDecoder::TJob {
    std::shared_ptr<const TPhotoImage> Photo;
    QSize Size;
    QImage Coarse;
    // Written by the thread before it ends, read after it was joined.
    QImage Decoded;
    QString Error;
    std::thread Thread;
};

TPhotoDecoder::TPhotoDecoder(QObject* parent) : QObject(parent) {}

TPhotoDecoder::~TPhotoDecoder() {
    // What they made is of no use any more; their reports, posted to this object, go with it.
    for (const auto& job : FJobs)
        if (job->Thread.joinable())
            job->Thread.join();
}

void TPhotoDecoder::Start(std::shared_ptr<const TPhotoImage> photo, const QSize& size,
                          QImage coarse) {
    if (!photo || Find(photo.get()) != nullptr)
        return;
    auto job = std::make_unique<TJob>();
    job->Photo = std::move(photo);
    job->Size = size;
    job->Coarse = std::move(coarse);
    TJob* raw = job.get();
    FJobs.push_back(std::move(job));
    // The thread reads only the photo's bytes and header, which never change; the picture it
    // keeps is set here, on this thread, when the report arrives.
    raw->Thread = std::thread([this, raw] {
        try {
            raw->Decoded = raw->Photo->DecodeForSize(raw->Size);
        } catch (const Exception& e) {
            raw->Error = e.Message();
        } catch (const std::bad_alloc&) {
            raw->Error = QStringLiteral("画像を展開するメモリが足りません。");
        }
        QMetaObject::invokeMethod(
            this, [this, raw] { Collect(raw); }, Qt::QueuedConnection);
    });
}

const TPhotoDecoder::TJob* TPhotoDecoder::Find(const TGraphic* photo) const {
    const auto found = std::find_if(FJobs.begin(), FJobs.end(), [photo](const auto& job) {
        return static_cast<const TGraphic*>(job->Photo.get()) == photo;
    });
    return found == FJobs.end() ? nullptr : found->get();
}

bool TPhotoDecoder::Decoding(const TGraphic* photo) const {
    return photo != nullptr && Find(photo) != nullptr;
}

QImage TPhotoDecoder::Coarse(const TGraphic* photo) const {
    const TJob* job = Find(photo);
    return job != nullptr ? job->Coarse : QImage();
}

void TPhotoDecoder::Wait(const TGraphic* photo) {
    while (Decoding(photo))
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
}

void TPhotoDecoder::Collect(TJob* job) {
    const auto found =
        std::find_if(FJobs.begin(), FJobs.end(), [job](const auto& j) { return j.get() == job; });
    if (found == FJobs.end())
        return;
    std::unique_ptr<TJob> done = std::move(*found);
    FJobs.erase(found);
    done->Thread.join();
    if (done->Error.isEmpty())
        done->Photo->KeepDecoding(done->Decoded);
    if (OnFinished) {
        const TFinished finished = OnFinished; // it may replace itself
        finished(done->Photo, done->Error);
    }
}
