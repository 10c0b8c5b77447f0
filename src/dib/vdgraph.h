// TVdGraphic: the common base of the program's own picture classes. It adds to the graphic
// framework what they share: their clipboard format and assignment from the clipboard, a
// palette, progress reports of long conversions and a change notice.
#pragma once

#include <functional>

#include <QByteArray>
#include <QString>

#include "platform/graphic.h"
#include "platform/palette.h"
#include "platform/types.h"

class TClipboard;

enum TProgressStage : std::uint8_t { psStarting, psRunning, psEnding };

/// Progress of a long operation: stage, percent done, whether the picture should be redrawn,
/// the area concerned and a message naming the operation.
using TProgressEvent = std::function<void(TProgressStage stage, int percentDone, bool redrawNow,
                                          const TRect& rect, const QString& message)>;

class TVdGraphic : public TGraphic {
  public:
    /// Raised after every change of the picture.
    std::function<void()> OnChange;
    /// Raised while a long conversion runs; may be unset.
    TProgressEvent OnProgress;
    /// Set when the picture's palette changed; whoever realises palettes reads and clears it.
    bool PaletteModified = false;

    /// The clipboard format this class is exchanged in.
    virtual unsigned short ClipboardFormat() const = 0;
    /// Takes the picture from clipboard data of `format`.
    virtual void LoadFromClipboardFormat(unsigned short format, const QByteArray& data,
                                         HPALETTE palette) = 0;
    /// The picture as clipboard data.
    virtual void SaveToClipboardFormat(unsigned short& format, QByteArray& data,
                                       HPALETTE& palette) const = 0;

    virtual HPALETTE GetPalette() = 0;
    virtual void SetPalette(HPALETTE palette) = 0;

    using TGraphic::Assign;
    /// Takes the picture from the clipboard's data in this class's format.
    void Assign(const TClipboard& clipboard);

  protected:
    TVdGraphic() = default;
    TVdGraphic(const TVdGraphic&) = default;
    TVdGraphic& operator=(const TVdGraphic&) = default;

    void Changed() {
        if (OnChange)
            OnChange();
    }
    void Progress(TProgressStage stage, int percentDone, bool redrawNow, const TRect& rect,
                  const QString& message) {
        if (OnProgress)
            OnProgress(stage, percentDone, redrawNow, rect, message);
    }
};

/// Makes an empty graphic of one of the program's own picture classes.
using TVdGraphicClass = std::function<std::unique_ptr<TVdGraphic>()>;

/// Registers the class that takes clipboard data of `format`.
void RegisterClipboardFormat(unsigned short format, TVdGraphicClass graphicClass);
void UnregisterClipboardFormat(unsigned short format);
/// The picture on the clipboard, in the first registered format it holds; nullptr when it
/// holds none. Damaged data raises the class's error.
std::unique_ptr<TVdGraphic> GraphicFromClipboard(const TClipboard& clipboard);
