// The picture container of the class library: holds at most one graphic of any registered
// format, loads files by their extension, and tells its owner when the picture changes. The
// registry from file extension to graphic class lives here; bitmaps ("bmp"), JPEG images ("jpg",
// "jpeg") and the photos of photoimage.h ("png", "gif", "tif", "tiff", "webp", "heic", "heif")
// are built in, and other subsystems add theirs (the device-independent bitmap adds "dib").
#pragma once

#include <functional>
#include <memory>

#include <QString>
#include <QStringList>

#include "platform/graphic.h"

class TBitmap;

/// Makes an empty graphic of one class.
using TGraphicClass = std::function<std::unique_ptr<TGraphic>()>;

class TPicture {
  public:
    TPicture();
    ~TPicture();
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    /// Raised after every change of the picture.
    std::function<void()> OnChange;

    /// The graphic held, owned by the picture; nullptr when empty.
    TGraphic* Graphic() const { return FGraphic.get(); }
    /// Holds a copy of `graphic`; nullptr empties the picture.
    void SetGraphic(const TGraphic* graphic);
    /// Takes `graphic` over.
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    /// Holds a copy of the other picture's graphic; nullptr empties the picture.
    void Assign(const TPicture* source);
    /// The graphic as a bitmap. A graphic of another class is replaced by a new empty bitmap,
    /// as the class library does; assign the old graphic to it to keep the picture.
    TBitmap& Bitmap();

    /// Width and height of the graphic in pixels; 0 when empty.
    int Width() const;
    int Height() const;
    /// True without a graphic or with an empty one.
    bool Empty() const;

    /// Loads a file with the graphic class registered for its extension (any case). On error
    /// (unknown extension, unreadable or damaged file) EInvalidGraphic is raised and the
    /// picture keeps what it held.
    void LoadFromFile(const QString& fileName);
    /// A graphic of the class registered for the file's extension, read from the file; raises
    /// EInvalidGraphic as LoadFromFile does.
    static std::unique_ptr<TGraphic> ReadFile(const QString& fileName);
    void SaveToFile(const QString& fileName) const;

    /// To be called after the graphic was changed in place, so that OnChange is raised.
    void Changed();

    /// Registers (or replaces) the graphic class for files ending in "." + extension.
    static void RegisterFileFormat(const QString& extension, const QString& description,
                                   TGraphicClass graphicClass);
    static void UnregisterFileFormat(const QString& extension);
    /// The registered extensions in order of registration, lower case, without dots.
    static QStringList FileExtensions();
    /// The filter of a picture-open dialog for every registered format, in the class
    /// library's form: one entry, `description` followed by the extensions in brackets, a
    /// bar, and the patterns ("画像ファイル(bmp,jpg)|*.bmp;*.jpg").
    static QString FileFilter(const QString& description);
    /// True when a file of this name has a registered extension (any case).
    static bool IsPictureFileName(const QString& fileName);
    /// The description registered for an extension; empty when none.
    static QString FileFormatDescription(const QString& extension);
    /// A new empty graphic of the class registered for the file's extension; EInvalidGraphic
    /// when none is.
    static std::unique_ptr<TGraphic> NewGraphicForFile(const QString& fileName);

  private:
    std::unique_ptr<TGraphic> FGraphic;
};
