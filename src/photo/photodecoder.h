// Decodes photos on threads of their own, so that a window stays responsive while a photo that
// takes long to decode (a HEIF photo, which libheif decodes only whole) is decoded. A decoding,
// once made, is kept by its photo on the decoder's own thread (the window's), so that drawing
// the photo there decodes nothing more; whoever needs the pixels before then waits (Wait).
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

class TGraphic;
class TPhotoImage;

class TPhotoDecoder : public QObject {
  public:
    /// A decoding ended: kept by `photo` when `error` is empty, else `error` is the message
    /// for the user (the photo's file named in it).
    using TFinished =
        std::function<void(const std::shared_ptr<const TPhotoImage>& photo, const QString& error)>;

    explicit TPhotoDecoder(QObject* parent = nullptr);
    /// Waits for the decodings under way: libheif's cannot be stopped halfway.
    ~TPhotoDecoder() override;
    TPhotoDecoder(const TPhotoDecoder&) = delete;
    TPhotoDecoder& operator=(const TPhotoDecoder&) = delete;

    /// Called on the decoder's thread, from its event loop, after each decoding.
    TFinished OnFinished;

    /// Starts decoding `photo` as its ToImageForSize(size) does, unless that is under way;
    /// `coarse` is what may be shown of it meanwhile (its thumbnail, or null).
    void Start(std::shared_ptr<const TPhotoImage> photo, const QSize& size, QImage coarse);
    /// Whether `photo` is being decoded.
    bool Decoding(const TGraphic* photo) const;
    /// Whether no photo is being decoded.
    bool Idle() const { return FJobs.empty(); }
    /// What may be shown of a photo being decoded; null for any other.
    QImage Coarse(const TGraphic* photo) const;
    /// Returns once `photo` is no longer being decoded (at once when it is not), running the
    /// event loop meanwhile without user input, so that windows repaint; OnFinished has been
    /// called for it by then.
    void Wait(const TGraphic* photo);

  private:
    struct TJob;
    const TJob* Find(const TGraphic* photo) const;
    /// Ends a job whose thread has finished: its decoding kept, OnFinished told.
    void Collect(TJob* job);

    std::vector<std::unique_ptr<TJob>> FJobs;
};
