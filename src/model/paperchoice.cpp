#include "paperchoice.h"

#include "settings/statefile.h"

namespace {

const QString Section = QStringLiteral("paper");
const QString Key = QStringLiteral("size");

} // namespace

QString PaperName(TPaperSize paper) {
    switch (paper) {
    case psA3:
        return QStringLiteral("A3");
    case psB4:
        return QStringLiteral("B4");
    case psB5:
        return QStringLiteral("B5");
    case psA5:
        return QStringLiteral("A5");
    case psLetter:
        return QStringLiteral("Letter");
    case psA4:
    case psNone:
        break;
    }
    return QStringLiteral("A4");
}

std::optional<TPaperSize> PaperByName(const QString& name) {
    for (TPaperSize paper : SheetPapers)
        if (name.compare(PaperName(paper), Qt::CaseInsensitive) == 0)
            return paper;
    return std::nullopt;
}

QString PaperCaption(TPaperSize paper) {
    return paper == psLetter ? QStringLiteral("レター") : PaperName(paper);
}

TPaperSize ReadPaperChoice(const QString& appPath) {
    const TStateFile state(appPath);
    return PaperByName(state.ReadString(Section, Key, QString())).value_or(psA4);
}

void WritePaperChoice(const QString& appPath, TPaperSize paper) {
    TStateFile state(appPath);
    state.WriteString(Section, Key, PaperName(paper));
}
