// What the main window remembers of the framing of photos between runs, in the program's own
// state file (section "framing"): the frame mode the user chose last, and the part chosen of
// each of the photos framed last, so that loading one of them again shows it as it was left.
// A photo not among them starts centred at 1 ×.
#pragma once

#include <optional>

#include <QSize>
#include <QString>

#include "picturefit.h"

inline const QString FramingSection = QStringLiteral("framing");

class TFramingMemory {
  public:
    /// The memory of the program whose folder is `appPath` (its state file).
    explicit TFramingMemory(QString appPath) : FAppPath(std::move(appPath)) {}

    /// How many photos' parts are remembered; the one framed longest ago gives way.
    static constexpr int MaxPhotos = 10;

    /// The frame mode chosen last; "枠に合わせる" when none was (or the file says nonsense).
    TFrameMode Mode() const;
    /// Raises EIniFileException when the state file cannot be written.
    void SetMode(TFrameMode mode);

    /// The focus and zoom last chosen for the photo `file` (a full path) of `size` pixels,
    /// within their ranges; nothing when that photo, at that size, is not remembered.
    std::optional<TPictureFraming> Recall(const QString& file, QSize size) const;
    /// Remembers `framing`'s focus and zoom for the photo, as the one framed last. Raises
    /// EIniFileException when the state file cannot be written; it then keeps what it held.
    void Remember(const QString& file, QSize size, const TPictureFraming& framing);

  private:
    QString FAppPath;
};
