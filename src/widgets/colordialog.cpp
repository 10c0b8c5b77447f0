#include "colordialog.h"

#include <QColorDialog>

bool TColorDialog::Execute(QWidget* parent) {
    QColorDialog dialog(ToQColor(FColor), parent);
    dialog.setWindowTitle(QStringLiteral("色の設定"));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    FColor = FromQColor(dialog.selectedColor());
    return true;
}
