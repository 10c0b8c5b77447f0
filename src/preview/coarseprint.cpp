#include "coarseprint.h"

#include <QMessageBox>
#include <QStringList>

#include "model/calendarmodel.h"
#include "sheet/sheetcomposition.h"
#include "widgets/application.h"

bool TCoarsePrintCheck::Confirm(QWidget* parent, const TCalendarModel& model,
                                TCoarseOutput output) {
    if (model.Photo.Empty())
        return true;
    QStringList warnings;
    for (const QString& warning : {DamagedPhotoWarning(model.Photo),
                                   LowResolutionWarning(model.PictureSize(), model.Framing)})
        if (!warning.isEmpty())
            warnings << warning + QStringLiteral("。");
    if (warnings.isEmpty())
        return true;
    if (FAgreedPhoto == model.Photo.Picture && FAgreedFraming == model.Framing)
        return true;
    const QString question = output == TCoarseOutput::Print
                                 ? QStringLiteral("このまま印刷しますか？")
                                 : QStringLiteral("このまま保存しますか？");
    QMessageBox box(QMessageBox::Warning, QStringLiteral("確認"),
                    warnings.join(QString()) + question, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setObjectName(QStringLiteral("CoarsePrintQuestion"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    LabelButtonsInJapanese(box);
    if (box.exec() != QMessageBox::Yes)
        return false;
    FAgreedPhoto = model.Photo.Picture;
    FAgreedFraming = model.Framing;
    return true;
}
