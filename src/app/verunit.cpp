#include "verunit.h"

#include <QLabel>
#include <QPushButton>
#include <QStringList>

#include "platform/version.h"

TverForm::TverForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("verForm"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(380, 260);

    auto* name = new QLabel(QStringLiteral("たむりか"), this);
    QFont big = font();
    big.setPixelSize(24);
    big.setBold(true);
    name->setFont(big);
    name->setGeometry(20, 14, 260, 34);

    auto* version = new QLabel(QStringLiteral("バージョン %1").arg(ProgramVersion()), this);
    version->setGeometry(22, 52, 260, 18);

    // What the program does now, in a few sentences: the help page says how.
    const QStringList sentences = {
        QStringLiteral("写真入りの一枚ものの年間カレンダーを作ります。"),
        QStringLiteral("写真は枠に合わせるか、枠いっぱいに置きます。"),
        QStringLiteral(
            "六曜・二十四節気・旧暦などの暦、家族の誕生日や記念日、4月始まり・月曜始まり・自分の題名にも対応します。"),
        QStringLiteral(
            "A4・A3・B4・B5・A5・レターの用紙に印刷するほか、「PDFに保存」で印刷所に出せる PDF を作ります。"),
    };
    auto* purpose = new QLabel(sentences.join(QString()), this);
    purpose->setObjectName(QStringLiteral("Purpose"));
    purpose->setWordWrap(true);
    purpose->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    purpose->setGeometry(22, 76, 336, 140);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setGeometry(150, 222, 80, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}
