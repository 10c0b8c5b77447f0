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
};

/// Reads `pdf` (named `name` in messages) and finds the image objects of `width` × `height`
/// whose samples are one of `markers`. Raises std::exception (libqpdf's) for a file it cannot
/// read, and std::runtime_error when the trailer lacks /Size or /Root.
TPdfDraft ReadPdfDraft(const QByteArray& pdf, const QString& name,
                       const std::vector<QByteArray>& markers, int width, int height);
