#include "decodernotes.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include <dlfcn.h>

#include <QtGlobal>

namespace {

thread_local TDecoderNotes* Current = nullptr;

} // namespace

TDecoderNotes::TDecoderNotes() : FOuter(Current) {
    Current = this;
}

TDecoderNotes::~TDecoderNotes() {
    Current = FOuter;
}

bool TDecoderNotes::SpeakOfDamage() const {
    // libpng finds fault with colour profiles and skips chunks it does not like; libtiff
    // warns of tags it does not know. Neither touches a pixel.
    static const char* const Harmless[] = {
        "iCCP", "sRGB", "profile", "nknown field", "Interlace handling", "TIFFReadDirectory"};
    for (const QString& note : FNotes) {
        bool harmless = false;
        for (const char* word : Harmless)
            harmless = harmless || note.contains(QLatin1String(word));
        if (!harmless)
            return true;
    }
    return false;
}

bool TDecoderNotes::Take(const QMessageLogContext& context, const QString& message) {
    return IsImageReaderMessage(context, message) && Take(message);
}

bool TDecoderNotes::Take(const QString& note) {
    if (Current == nullptr)
        return false;
    Current->FNotes << note;
    return true;
}

namespace {

extern "C" void OnTiffMessage(const char* module, const char* format, va_list arguments) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, arguments);
    // Outside a decoding (Qt's reader sniffing a file) there is no one to tell: it goes.
    TDecoderNotes::Take(QString::fromUtf8(module != nullptr ? module : "") + QStringLiteral(": ") +
                        QString::fromUtf8(text));
}

} // namespace

void RouteTiffMessages() {
    // libtiff is Qt's TIFF reader's, loaded with it when a TIFF file is first read; a program
    // that never reads one never loads it. So it is asked for only once it is there.
    using THandler = void (*)(const char*, const char*, va_list);
    using TSetHandler = THandler (*)(THandler);
    void* library = dlopen("libtiff.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (library == nullptr)
        return;
    for (const char* name : {"TIFFSetWarningHandler", "TIFFSetErrorHandler"})
        if (auto set = reinterpret_cast<TSetHandler>(dlsym(library, name)))
            set(OnTiffMessage);
    dlclose(library); // only the reference NOLOAD took: Qt's reader keeps it loaded
}

bool IsImageReaderMessage(const QMessageLogContext& context, const QString& message) {
    if (context.category != nullptr && (std::strncmp(context.category, "qt.gui.imageio", 14) == 0 ||
                                        std::strncmp(context.category, "qt.imageformats", 15) == 0))
        return true;
    // Qt's TIFF reader opens every picture under the name "foo", and its notes begin so.
    return message.startsWith(QLatin1String("libpng ")) ||
           message.startsWith(QLatin1String("foo: ")) ||
           message.startsWith(QLatin1String("QBuffer::seek"));
}
