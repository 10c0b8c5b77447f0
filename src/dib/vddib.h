// TVdDIB: a picture format that keeps its image as a device-independent bitmap, registered
// for ".dib" files and the packed-DIB clipboard format. Pictures share their storage after an
// assignment and separate on the first change. TVdDIBCanvas draws into a TVdDIB's pixels.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/canvas.h"
#include "platform/tcolor.h"
#include "vdgraph.h"
#include "vdinternaldib.h"

class TVdDIB : public TVdGraphic {
  public:
    /// A 1 × 1, 8-bit black picture whose pixels live in a shared memory mapping.
    TVdDIB();
    /// Shares `other`'s storage and copies its settings (not its event handlers).
    TVdDIB(const TVdDIB& other);
    TVdDIB& operator=(const TVdDIB&) = delete;
    ~TVdDIB() override;

    /// Quality of reductions from 24 bits: 0 by histogram (fast), 1 over every pixel.
    std::uint8_t ConvertQuality = 0;
    /// The colour that becomes white in conversions to 1 bit; all others become black.
    TColor MonoColor = clWhite;
    /// 0 draws the picture as it is, 1 through the colour halftone, 2 through the
    /// black-and-white halftone; other values draw nothing.
    std::uint8_t HalftoneMode = 0;

    QString ClassName() const override { return QStringLiteral("TVdDIB"); }
    int Width() const override;
    int Height() const override;
    /// A device-independent bitmap always has pixels.
    bool Empty() const override { return false; }

    /// A new blank picture of width `w` (> 0) with the same height, depth and colour count;
    /// the content and colour table are not kept. The same width changes nothing.
    void SetWidth(int w);
    /// As SetWidth for the height; a negative `h` stores the rows top row first.
    void SetHeight(int h);
    int GetBitCount() const;
    /// A new blank picture of the same size at `n` bits (1, 4, 8 or 24), 2^n colours.
    void SetBitCount(int n);
    TVdPixelFormat GetPixelFormat() const;
    /// Converts the picture to `format`, sending progress events for palette reductions. On
    /// error the picture is unchanged.
    void SetPixelFormat(TVdPixelFormat format);
    /// Converts the picture by error diffusion to the 215-colour halftone palette (8 bits) or
    /// to black and white (1 bit), as drawing with HalftoneMode 1 or 2 shows it.
    void Halftone(bool blackAndWhite);
    /// Whether the pixels live in shared memory mappings (true) or on the heap.
    bool GetUseFMO() const;

    /// By HalftoneMode: the shared halftone or black-and-white palette, or the picture's own.
    HPALETTE GetPalette() override;
    /// Makes the colour table the palette's colours; none empties the table.
    void SetPalette(HPALETTE palette) override;

    /// Reads a bitmap or DIB file; on error the picture is unchanged.
    void LoadFromBytes(const QByteArray& bytes) override;
    void LoadFromStream(QIODevice& stream) override;
    void SaveToStream(QIODevice& stream) const override;

    unsigned short ClipboardFormat() const override;
    void LoadFromClipboardFormat(unsigned short format, const QByteArray& data,
                                 HPALETTE palette) override;
    void SaveToClipboardFormat(unsigned short& format, QByteArray& data,
                               HPALETTE& palette) const override;

    /// From another TVdDIB: shares its storage. From a bitmap: copies its pixels at the
    /// bitmap's depth. Anything else: as the graphic framework assigns.
    void Assign(const TGraphic& source) override;
    /// No source: a new default picture (1 × 1, 8 bits, black) of this picture's own.
    void Assign(std::nullptr_t);
    using TVdGraphic::Assign;
    /// To a TVdDIB: it shares this storage. To a bitmap: its size, depth and pixels.
    void AssignTo(TGraphic& target) const override;

    void Draw(TCanvas& canvas, const TRect& rect) const override;
    QImage ToImage() const override;
    std::unique_ptr<TGraphic> Clone() const override;

    /// The stored bitmap (shared with pictures assigned from this one).
    const TDIBInfo& DIBInfo() const;

  private:
    friend class TVdDIBCanvas;

    TVdInternalDIB& Storage(const char* operation) const;
    void ReplaceStorage(TVdInternalDIB* storage);
    void ReleaseInternalDIB();
    /// Gives this picture storage of its own before it is changed.
    void UniqueDIB();
    void UpdatePaletteModified();
    void LoadWith(const std::function<void(TVdInternalDIB&)>& load);

    // Shared by reference count (FRefCount of the storage); the last picture that lets go
    // deletes it. Never null while the picture lives.
    TVdInternalDIB* FInternalDIB = nullptr;
    int FProgressCount = 0;
    int FProgressTotal = 0;
    QString FProgressMessage;
};

/// A canvas whose drawing lands in a TVdDIB's pixels. The picture must use shared memory
/// mappings and be uncompressed. Drawing goes to a 32-bit surface made from the pixels and is
/// written into the picture when the canvas is destroyed (palette depths take the nearest used
/// colour), so the canvas must be destroyed before the picture is used elsewhere.
struct TVdDIBSurface {
    QImage Surface;
};

class TVdDIBCanvas : private TVdDIBSurface, public TCanvas {
  public:
    /// `picture` is not owned and must outlive the canvas.
    explicit TVdDIBCanvas(TVdDIB* picture);
    ~TVdDIBCanvas();

  private:
    TVdDIB* FPicture;
};

/// Registers TVdDIB for ".dib" files ("Device Independent Bitmap") and for the packed-DIB
/// clipboard format. Called once at start, before any window exists.
void RegisterVdDIB();
void UnregisterVdDIB();
