#include "vddib.h"

#include <QBuffer>

#include "diberrors.h"
#include "dibimage.h"
#include "photo/picture.h"
#include "pixelconvert.h"
#include "platform/bitmap.h"
#include "platform/clipboard.h"
#include "platform/syserrors.h"
#include "rle.h"

namespace {

/// The unit's two shared palettes, made on first use and freed when the program ends.
HPALETTE HalftonePalette() {
    static const HPALETTE palette = [] {
        auto p = std::make_shared<TLogPalette>();
        for (const RGBQUAD& q : HalftoneColors())
            p->palPalEntry.push_back(TPaletteEntry{q.rgbRed, q.rgbGreen, q.rgbBlue, 0});
        return p;
    }();
    return palette;
}

HPALETTE BlackAndWhitePalette() {
    static const HPALETTE palette = [] {
        auto p = std::make_shared<TLogPalette>();
        p->palPalEntry = {TPaletteEntry{0, 0, 0, 0}, TPaletteEntry{255, 255, 255, 0}};
        return p;
    }();
    return palette;
}

const char* FormatName(TVdPixelFormat format) {
    switch (format) {
    case vdPf1Bit:
        return "1Bit";
    case vdPf4Bit:
        return "4Bit";
    case vdPf4BitRLE:
        return "4BitRLE";
    case vdPf8Bit:
        return "8Bit";
    case vdPf8BitRLE:
        return "8BitRLE";
    case vdPf24Bit:
        return "24Bit";
    }
    return "";
}

/// Leaves of the palette split of a change from `from` to `to`: 0 when the change reduces no
/// palette and sends no progress.
int ProgressTotal(TVdPixelFormat from, TVdPixelFormat to) {
    const bool toFour = to == vdPf4Bit || to == vdPf4BitRLE;
    const bool toEight = to == vdPf8Bit || to == vdPf8BitRLE;
    if ((from == vdPf8Bit || from == vdPf8BitRLE || from == vdPf24Bit) && toFour)
        return 16;
    if (from == vdPf24Bit && toEight)
        return 256;
    return 0;
}

/// Decodes compressed pixels once so that damaged run-length data is refused when the
/// picture is read, not later when it is drawn or printed.
void CheckCompressedData(const TDIBInfo& info) {
    if (info.Compression() == BI_RLE8)
        Convert8BitRLETo8BitRGB(info, false);
    else if (info.Compression() == BI_RLE4)
        Convert4BitRLETo4BitRGB(info, false);
}

TPixelFormat BitmapFormatOf(TVdPixelFormat format) {
    switch (format) {
    case vdPf1Bit:
        return pf1bit;
    case vdPf4Bit:
    case vdPf4BitRLE:
        return pf4bit;
    case vdPf8Bit:
    case vdPf8BitRLE:
        return pf8bit;
    case vdPf24Bit:
        return pf24bit;
    }
    throw EAssertionFailed(QStringLiteral("TVdDIB.AssignTo: Illegal PixelFormat"));
}

int BitCountOf(TPixelFormat format) {
    switch (format) {
    case pf1bit:
        return 1;
    case pf4bit:
        return 4;
    case pf8bit:
        return 8;
    default: // 15, 16 and 32 bits and the device's depth become 24 bits
        return 24;
    }
}

} // namespace

TVdDIB::TVdDIB() : FInternalDIB(new TVdInternalDIB(true)) {
    UpdatePaletteModified();
}

TVdDIB::TVdDIB(const TVdDIB& other)
    : TVdGraphic(other), ConvertQuality(other.ConvertQuality), MonoColor(other.MonoColor),
      HalftoneMode(other.HalftoneMode), FInternalDIB(&other.Storage("TVdDIB.Assign")) {
    OnChange = nullptr;
    OnProgress = nullptr;
    ++FInternalDIB->FRefCount;
    PaletteModified = true;
}

TVdDIB::~TVdDIB() {
    ReleaseInternalDIB();
}

TVdInternalDIB& TVdDIB::Storage(const char* operation) const {
    if (FInternalDIB == nullptr)
        throw EAssertionFailed(QString::fromLatin1(operation) +
                               QStringLiteral(": InternalDIB Should not be Nil"));
    return *FInternalDIB;
}

void TVdDIB::ReleaseInternalDIB() {
    if (FInternalDIB != nullptr && --FInternalDIB->FRefCount == 0)
        delete FInternalDIB;
    FInternalDIB = nullptr;
}

void TVdDIB::ReplaceStorage(TVdInternalDIB* storage) {
    ReleaseInternalDIB();
    FInternalDIB = storage;
}

void TVdDIB::UniqueDIB() {
    TVdInternalDIB& shared = Storage("TVdDIB.UniqueDIB");
    if (shared.FRefCount == 1)
        return;
    auto own = std::make_unique<TVdInternalDIB>(shared.UseFMO());
    own->TakeOver(CloneDIB(shared.DIBInfo(), shared.UseFMO()));
    ReplaceStorage(own.release());
}

void TVdDIB::UpdatePaletteModified() {
    TVdInternalDIB& storage = Storage("TVdDIB.UpdatePaletteModified");
    Assert(storage.FRefCount == 1, "TVdDIB.UpdatePaletteModified RefCount Must be 1");
    if (storage.FPaletteModified) {
        storage.FPaletteModified = false;
        PaletteModified = true;
    }
}

int TVdDIB::Width() const {
    return Storage("TVdDIB.GetWidth").Width();
}

int TVdDIB::Height() const {
    return Storage("TVdDIB.GetHeight").Height();
}

const TDIBInfo& TVdDIB::DIBInfo() const {
    return Storage("TVdDIB.DIBInfo").DIBInfo();
}

void TVdDIB::SetWidth(int w) {
    const TVdInternalDIB& old = Storage("TVdDIB.SetWidth");
    if (w <= 0)
        RaiseDIB<EVdDIBInvalidDIBPara>("TVdDIB.SetWidth: Invalid Width");
    if (w == old.Width())
        return;
    auto fresh = std::make_unique<TVdInternalDIB>(old.UseFMO());
    fresh->CreateDIB(w, old.Height(), old.DIBInfo().ColorsUsed(), old.DIBInfo().BitCount());
    ReplaceStorage(fresh.release());
    UpdatePaletteModified();
    Changed();
}

void TVdDIB::SetHeight(int h) {
    const TVdInternalDIB& old = Storage("TVdDIB.SetHeight");
    if (h == 0)
        RaiseDIB<EVdDIBInvalidDIBPara>("TVdDIB.SetWidth: Invalid Height");
    if (AbsHeight(h) == old.Height())
        return;
    auto fresh = std::make_unique<TVdInternalDIB>(old.UseFMO());
    fresh->CreateDIB(old.Width(), h, old.DIBInfo().ColorsUsed(), old.DIBInfo().BitCount());
    ReplaceStorage(fresh.release());
    UpdatePaletteModified();
    Changed();
}

int TVdDIB::GetBitCount() const {
    return Storage("TVdDIB.GetBitCount").DIBInfo().BitCount();
}

void TVdDIB::SetBitCount(int n) {
    const TVdInternalDIB& old = Storage("TVdDIB.SetBitCount");
    if (n != 1 && n != 4 && n != 8 && n != 24)
        RaiseDIB<EVdDIBInvalidDIBPara>("TVdDIB.SetBitCount: Invalid BitCount");
    if (n == old.DIBInfo().BitCount())
        return;
    auto fresh = std::make_unique<TVdInternalDIB>(old.UseFMO());
    fresh->CreateDIB(old.Width(), old.Height(), n == 24 ? 0 : 1 << n, n);
    ReplaceStorage(fresh.release());
    UpdatePaletteModified();
    Changed();
}

TVdPixelFormat TVdDIB::GetPixelFormat() const {
    return Storage("TVdDIB.GetPixelFormat").GetPixelFormat();
}

bool TVdDIB::GetUseFMO() const {
    return Storage("TVdDIB.GetUseFMO").UseFMO();
}

void TVdDIB::SetPixelFormat(TVdPixelFormat format) {
    const TVdPixelFormat from = Storage("TVdDIB.SetPixelFormat").GetPixelFormat();
    if (format == from)
        return;
    UniqueDIB();
    FProgressCount = 0;
    FProgressTotal = ProgressTotal(from, format);
    FProgressMessage = QStringLiteral("PixelFormat %1 -> %2")
                           .arg(QLatin1String(FormatName(from)), QLatin1String(FormatName(format)));
    const TRect whole = Bounds(0, 0, Width(), Height());
    if (FProgressTotal > 0)
        Progress(psStarting, 0, false, whole, FProgressMessage);
    const auto step = [this, &whole] {
        if (++FProgressCount == FProgressTotal || FProgressTotal == 0)
            return;
        Progress(psRunning, FProgressCount * 100 / FProgressTotal, false, whole, FProgressMessage);
    };
    const auto finish = [this, &whole] {
        UpdatePaletteModified();
        if (FProgressTotal > 0)
            Progress(psEnding, 100, true, whole, FProgressMessage);
    };
    try {
        FInternalDIB->SetPixelsFormat(format, ConvertQuality, step, ColorToRGB(MonoColor));
    } catch (...) {
        finish();
        throw;
    }
    finish();
    UpdatePaletteModified();
    Changed();
}

void TVdDIB::Halftone(bool blackAndWhite) {
    Storage("TVdDIB.Halftone");
    UniqueDIB();
    try {
        FInternalDIB->SetPixelsFormat(blackAndWhite ? vdPfHalftoneBW : vdPfHalftone, 0, {},
                                      clWhite);
    } catch (...) {
        UpdatePaletteModified();
        throw;
    }
    UpdatePaletteModified();
    Changed();
}

HPALETTE TVdDIB::GetPalette() {
    TVdInternalDIB& storage = Storage("TVdDIB.GetPalette");
    switch (HalftoneMode) {
    case 1:
        return HalftonePalette();
    case 2:
        return BlackAndWhitePalette();
    default:
        return storage.Palette();
    }
}

void TVdDIB::SetPalette(HPALETTE palette) {
    Storage("TVdDIB.SetPalette");
    if (palette && palette->palPalEntry.empty())
        RaiseDIB<EVdDIBInvalidPalette>("TVdDIB.SetPalette: Invalid Palette");
    UniqueDIB();
    FInternalDIB->SetColorTableFrom(palette);
    UpdatePaletteModified();
    Changed();
}

void TVdDIB::LoadWith(const std::function<void(TVdInternalDIB&)>& load) {
    auto fresh = std::make_unique<TVdInternalDIB>(Storage("TVdDIB.LoadFromStream").UseFMO());
    load(*fresh);
    CheckCompressedData(fresh->DIBInfo());
    ReplaceStorage(fresh.release());
    UpdatePaletteModified();
    Changed();
}

void TVdDIB::LoadFromStream(QIODevice& stream) {
    LoadWith([&stream](TVdInternalDIB& storage) { storage.LoadFromStream(stream); });
}

void TVdDIB::LoadFromBytes(const QByteArray& bytes) {
    QByteArray data = bytes; // QBuffer wants a non-const array; this is a shallow copy
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    LoadFromStream(buffer);
}

void TVdDIB::SaveToStream(QIODevice& stream) const {
    Storage("TVdDIB.SaveToStream").SaveToStream(stream);
}

unsigned short TVdDIB::ClipboardFormat() const {
    return CF_DIB;
}

void TVdDIB::LoadFromClipboardFormat(unsigned short format, const QByteArray& data, HPALETTE) {
    if (format != CF_DIB || data.isEmpty())
        throw EInvalidGraphic(
            QStringLiteral("TVdDIB.LoadFromClipboardFormat: Invalid Clipboard Format or No Data"));
    LoadWith([&data](TVdInternalDIB& storage) { storage.LoadFromClipboardFormat(data); });
}

void TVdDIB::SaveToClipboardFormat(unsigned short& format, QByteArray& data,
                                   HPALETTE& palette) const {
    const TVdInternalDIB& storage = Storage("TVdDIB.SaveToClipboardFormat");
    format = CF_DIB;
    palette = nullptr;
    data = storage.SaveToClipboardFormat();
}

void TVdDIB::Assign(const TGraphic& source) {
    Storage("TVdDIB.Assign");
    if (const auto* dib = dynamic_cast<const TVdDIB*>(&source)) {
        if (dib == this)
            return;
        TVdInternalDIB& shared = dib->Storage("TVdDIB.Assign");
        ++shared.FRefCount;
        ReplaceStorage(&shared);
        MonoColor = dib->MonoColor;
        ConvertQuality = dib->ConvertQuality;
        HalftoneMode = dib->HalftoneMode;
        PaletteModified = true;
        Changed();
        return;
    }
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(&source)) {
        const int bits = BitCountOf(bitmap->PixelFormat());
        auto fresh = std::make_unique<TVdInternalDIB>(FInternalDIB->UseFMO());
        // The bitmap's size is checked like any new picture's before its pixels are copied.
        fresh->CreateDIB(bitmap->Width(), bitmap->Height(), 0, bits);
        fresh->TakeOver(DIBFromImage(bitmap->ToImage(), bits, fresh->UseFMO()));
        ReplaceStorage(fresh.release());
        UpdatePaletteModified();
        Changed();
        return;
    }
    TVdGraphic::Assign(source);
    Changed();
}

void TVdDIB::Assign(std::nullptr_t) {
    auto fresh = std::make_unique<TVdInternalDIB>(Storage("TVdDIB.Assign").UseFMO());
    ReplaceStorage(fresh.release());
    UpdatePaletteModified();
    Changed();
}

void TVdDIB::AssignTo(TGraphic& target) const {
    if (auto* dib = dynamic_cast<TVdDIB*>(&target)) {
        dib->Assign(*this);
        return;
    }
    if (auto* bitmap = dynamic_cast<TBitmap*>(&target)) {
        const TPixelFormat format = BitmapFormatOf(GetPixelFormat());
        const QImage image = ToImage();
        bitmap->SetSize(Width(), Height());
        bitmap->SetPixelFormat(format);
        bitmap->Assign(image);
        return;
    }
    TVdGraphic::AssignTo(target);
}

QImage TVdDIB::ToImage() const {
    return DIBToImage(Storage("TVdDIB.ToImage").DIBInfo());
}

std::unique_ptr<TGraphic> TVdDIB::Clone() const {
    return std::make_unique<TVdDIB>(*this);
}

void TVdDIB::Draw(TCanvas& canvas, const TRect& rect) const {
    const TVdInternalDIB& storage = Storage("TVdDIB.Draw");
    if (HalftoneMode > 2)
        return;
    if (HalftoneMode == 0 || rect.IsEmpty()) {
        // Stretched without smoothing: rows and columns are repeated or dropped, as the
        // colour-on-colour stretch mode did.
        canvas.StretchDraw(rect, ToImage(), false);
        return;
    }
    // Halftoning works on the picture at its drawn size: stretch it onto a temporary picture
    // of the rectangle's size and depth, halftone that and draw it 1:1.
    TVdDIB temporary;
    const int bits = storage.DIBInfo().BitCount();
    temporary.SetBitCount(bits);
    temporary.SetWidth(rect.Width());
    temporary.SetHeight(rect.Height());
    if (bits != 24)
        temporary.SetPalette(storage.Palette());
    {
        TVdDIBCanvas surface(&temporary);
        surface.StretchDraw(Bounds(0, 0, rect.Width(), rect.Height()), ToImage(), false);
    }
    temporary.Halftone(HalftoneMode == 2);
    canvas.StretchDraw(rect, temporary.ToImage(), false);
}

namespace {

/// Checks that `picture` can be drawn on and makes its 32-bit drawing surface.
QImage MakeSurface(TVdDIB* picture, const std::function<void()>& unique) {
    if (picture == nullptr || !picture->GetUseFMO())
        throw EVdDIBCanvasFailed(QStringLiteral("TVdDIBCanvas.Create: Cannot Create Canvas"));
    unique();
    // Compressed pixels cannot be drawn on in place.
    if (picture->DIBInfo().Compression() != BI_RGB)
        throw EOutOfResources(QStringLiteral("TVdDIBCanvas.Create: Cannot Create Memory DC"));
    QImage surface = DIBToImage(picture->DIBInfo());
    if (surface.isNull())
        throw EOutOfResources(QStringLiteral("TVdDIBCanvas.Create: Cannot Create Memory DC"));
    return surface;
}

} // namespace

TVdDIBCanvas::TVdDIBCanvas(TVdDIB* picture)
    : TVdDIBSurface{MakeSurface(picture, [picture] { picture->UniqueDIB(); })}, TCanvas(&Surface),
      FPicture(picture) {}

TVdDIBCanvas::~TVdDIBCanvas() {
    EndPaint();
    try {
        // A picture assigned elsewhere while the canvas lived keeps the pixels it had; the
        // drawing lands in this picture only.
        FPicture->UniqueDIB();
        const TDIBInfo& info = FPicture->DIBInfo();
        if (info.Compression() == BI_RGB && info.Width() == Surface.width() &&
            info.Height() == Surface.height())
            FPicture->FInternalDIB->WriteImage(Surface);
        FPicture->UpdatePaletteModified();
        FPicture->Changed();
    } catch (const std::exception& e) {
        // A destructor cannot raise; a picture that changed size under its canvas (or memory
        // that ran out) loses the drawing.
        qWarning("TVdDIBCanvas: drawing dropped: %s", e.what());
    }
}

void RegisterVdDIB() {
    TPicture::RegisterFileFormat(QStringLiteral("dib"), QStringLiteral("Device Independent Bitmap"),
                                 [] { return std::make_unique<TVdDIB>(); });
    RegisterClipboardFormat(CF_DIB, [] { return std::make_unique<TVdDIB>(); });
}

void UnregisterVdDIB() {
    TPicture::UnregisterFileFormat(QStringLiteral("dib"));
    UnregisterClipboardFormat(CF_DIB);
}
