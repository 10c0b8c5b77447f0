#include "pdfdraft.h"

#include <cstring>
#include <memory>
#include <stdexcept>

#include <QFile>

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

TPdfDraft ReadPdfDraft(const QByteArray& bytes, const QString& name,
                       const std::vector<QByteArray>& markers, int width, int height) {
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.processMemoryFile(QFile::encodeName(name).constData(), bytes.constData(),
                          static_cast<size_t>(bytes.size()));
    TPdfDraft draft;
    std::vector<bool> found(markers.size(), false);
    for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
        for (auto& [key, image] : page.getImages()) {
            QPDFObjectHandle dict = image.getDict();
            if (!dict.getKey("/Width").isInteger() || !dict.getKey("/Height").isInteger() ||
                dict.getKey("/Width").getIntValue() != width ||
                dict.getKey("/Height").getIntValue() != height)
                continue;
            const std::shared_ptr<Buffer> data = image.getStreamData(qpdf_dl_generalized);
            for (std::size_t i = 0; i < markers.size(); ++i) {
                if (found[i] || data->getSize() != static_cast<size_t>(markers[i].size()) ||
                    std::memcmp(data->getBuffer(), markers[i].constData(), data->getSize()) != 0)
                    continue;
                draft.Markers.push_back({image.getObjectID(), image.getGeneration(), i});
                found[i] = true;
                break;
            }
        }
    }
    QPDFObjectHandle trailer = pdf.getTrailer();
    if (!trailer.getKey("/Size").isInteger() || !trailer.getKey("/Root").isIndirect())
        throw std::runtime_error("trailer");
    draft.Size = static_cast<int>(trailer.getKey("/Size").getIntValue());
    draft.TrailerEntries = " /Root " + QByteArray::fromStdString(trailer.getKey("/Root").unparse());
    for (const char* key : {"/Info", "/ID"})
        if (trailer.hasKey(key))
            draft.TrailerEntries += QByteArray(" ") + key + ' ' +
                                    QByteArray::fromStdString(trailer.getKey(key).unparse());
    QPDFObjectHandle root = pdf.getRoot();
    draft.RootObject = root.getObjectID();
    draft.RootGeneration = root.getGeneration();
    root.replaceKey("/Version", QPDFObjectHandle::newName("/1.5"));
    draft.RootWithVersion15 = QByteArray::fromStdString(root.unparseResolved());
    return draft;
}
