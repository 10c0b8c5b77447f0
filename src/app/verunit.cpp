#include "verunit.h"

#include <QLabel>
#include <QPushButton>

#include "platform/version.h"

TverForm::TverForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("verForm"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(300, 160);

    auto* name = new QLabel(QStringLiteral("たむりか"), this);
    QFont big = font();
    big.setPixelSize(24);
    big.setBold(true);
    name->setFont(big);
    name->setGeometry(20, 14, 260, 34);

    auto* version = new QLabel(QStringLiteral("バージョン %1").arg(ProgramVersion()), this);
    version->setGeometry(22, 52, 260, 18);

    auto* purpose = new QLabel(
        QStringLiteral("写真入りの一枚ものの年間カレンダーを作って、A4 の用紙に印刷します。"),
        this);
    purpose->setWordWrap(true);
    purpose->setGeometry(22, 74, 260, 40);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setGeometry(110, 122, 80, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}
