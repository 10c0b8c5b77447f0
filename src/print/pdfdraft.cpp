#include "pdfdraft.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

#include <QFile>

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

namespace {

// The six capital letters of a subset's tag, from the font's name and object number: the same
// for the same file, different for the fonts of one file.
std::string SubsetTag(const std::string& name, int object) {
    std::uint32_t h = 2166136261u; // FNV-1a
    for (unsigned char c : name + '#' + std::to_string(object)) {
        h ^= c;
        h *= 16777619u;
    }
    std::string tag;
    for (int i = 0; i < 6; ++i) {
        tag += static_cast<char>('A' + h % 26);
        h /= 26;
        if (h == 0)
            h = 2166136261u + static_cast<std::uint32_t>(i);
    }
    return tag;
}

bool Tagged(const std::string& name) {
    // "/ABCDEF+Name"
    if (name.size() < 9 || name[7] != '+')
        return false;
    for (int i = 1; i <= 6; ++i)
        if (name[static_cast<std::size_t>(i)] < 'A' || name[static_cast<std::size_t>(i)] > 'Z')
            return false;
    return true;
}

// Gives `key` of `object` (a font's /BaseFont, a descriptor's /FontName) the tag.
bool TagName(QPDFObjectHandle object, const char* key, const std::string& tag) {
    if (!object.isDictionary() || !object.getKey(key).isName())
        return false;
    const std::string name = object.getKey(key).getName();
    if (Tagged(name))
        return false;
    object.replaceKey(key, QPDFObjectHandle::newName("/" + tag + "+" + name.substr(1)));
    return true;
}

void Keep(QPDFObjectHandle object, std::vector<TPdfDraft::TObjectText>& changed) {
    if (!object.isIndirect())
        return;
    for (const TPdfDraft::TObjectText& c : changed)
        if (c.Object == object.getObjectID())
            return;
    changed.push_back({object.getObjectID(), object.getGeneration(),
                       QByteArray::fromStdString(object.unparseResolved())});
}

// Every embedded font of a composite (Type0) or simple font dictionary named as a subset: the
// font, its descendant and the descriptor carry the same tagged name.
void TagSubsets(QPDF& pdf, std::vector<TPdfDraft::TObjectText>& changed) {
    for (QPDFObjectHandle font : pdf.getAllObjects()) {
        if (!font.isDictionary() || !font.getKey("/Type").isNameAndEquals("/Font") ||
            !font.getKey("/BaseFont").isName())
            continue;
        const std::string subtype =
            font.getKey("/Subtype").isName() ? font.getKey("/Subtype").getName() : std::string();
        if (subtype != "/Type0" && subtype != "/TrueType" && subtype != "/Type1")
            continue;
        QPDFObjectHandle descriptorOwner = font;
        QPDFObjectHandle descendant;
        if (subtype == "/Type0") {
            QPDFObjectHandle descendants = font.getKey("/DescendantFonts");
            if (!descendants.isArray() || descendants.getArrayNItems() != 1)
                continue;
            descendant = descendants.getArrayItem(0);
            descriptorOwner = descendant;
        }
        QPDFObjectHandle descriptor = descriptorOwner.getKey("/FontDescriptor");
        // Only a font embedded in the file can be a subset.
        if (!descriptor.isDictionary() ||
            !(descriptor.hasKey("/FontFile") || descriptor.hasKey("/FontFile2") ||
              descriptor.hasKey("/FontFile3")))
            continue;
        const std::string base = font.getKey("/BaseFont").getName();
        if (Tagged(base))
            continue;
        const std::string tag = SubsetTag(base, font.getObjectID());
        TagName(font, "/BaseFont", tag);
        if (descendant.isDictionary())
            TagName(descendant, "/BaseFont", tag);
        TagName(descriptor, "/FontName", tag);
        // Each written whole once all are named: a direct descriptor is a part of its font.
        for (QPDFObjectHandle object : {font, descendant, descriptor})
            if (object.isDictionary())
                Keep(object, changed);
    }
}

} // namespace

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

    TagSubsets(pdf, draft.SubsetFonts);
    QPDFObjectHandle info = trailer.getKey("/Info");
    if (info.isIndirect() && info.isDictionary()) {
        draft.InfoObject = info.getObjectID();
        draft.InfoGeneration = info.getGeneration();
        if (info.getKey("/CreationDate").isString())
            draft.CreationDate = QByteArray::fromStdString(info.getKey("/CreationDate").unparse());
    }
    return draft;
}
