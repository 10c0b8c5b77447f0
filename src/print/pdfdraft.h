// What the PDF writer needs to know of a PDF file that Qt wrote before it adds to the file: the
// objects of the marker pictures that stand where pictures go, and the trailer. Read with
// libqpdf, in a file of its own that includes nothing else of the program (see CMakeLists.txt).
#pragma once

#include <string>
#include <vector>

#include <QByteArray>
#include <QString>

struct TPdfDraft {
    struct TMarker {
        int Object = 0;
        int Generation = 0;
        std::size_t Index = 0; // in the list of markers looked for
    };
    /// The markers found, each once, in the order of the pages.
    std::vector<TMarker> Markers;
    /// The trailer's /Size: the first object number free for new objects.
    int Size = 0;
    /// The trailer's entries an update repeats: " /Root r /Info i /ID [...]".
    QByteArray TrailerEntries;
    /// The catalogue, and the same with /Version /1.5 (for an update that needs it).
    int RootObject = 0;
    int RootGeneration = 0;
    QByteArray RootWithVersion15;

    /// A new version of an object: its number, generation and text.
    struct TObjectText {
        int Object = 0;
        int Generation = 0;
        QByteArray Text;
    };
    /// The fonts' objects (the font, its descendant and its descriptor) with the font's name
    /// given the tag of a subset ("ABCDEF+IPAMincho"): Qt embeds only the glyphs a page uses,
    /// but names the font as if it were whole, and a print shop's preflight asks which it is.
    std::vector<TObjectText> SubsetFonts;
    /// The document information dictionary, where there is one (0 otherwise), and its creation
    /// date as written.
    int InfoObject = 0;
    int InfoGeneration = 0;
    QByteArray CreationDate;
};

/// Reads `pdf` (named `name` in messages): finds the image objects of `width` × `height`
/// whose samples are one of `markers`, the fonts to name as subsets and the document
/// information. Raises std::exception (libqpdf's) for a file it cannot
/// read, and std::runtime_error when the trailer lacks /Size or /Root.
TPdfDraft ReadPdfDraft(const QByteArray& pdf, const QString& name,
                       const std::vector<QByteArray>& markers, int width, int height);
