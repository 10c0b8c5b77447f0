#include "fontdialog.h"

#include <iterator>

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "application.h"

namespace {

// The styles the chooser offers, in the order of the system's own font dialog.
struct StyleChoice {
    const char16_t* Caption;
    TFontStyles Style;
};
constexpr StyleChoice StyleChoices[] = {
    {u"標準", 0}, {u"斜体", fsItalic}, {u"太字", fsBold}, {u"太字 斜体", fsBold | fsItalic}};

const QString SampleText = QStringLiteral("AaBb あア亜 2026");

} // namespace

bool TFontDialog::Execute(QWidget* parent) {
    TFontChooser chooser(FFont, parent, FaceOnly);
    if (chooser.exec() != QDialog::Accepted)
        return false;
    TFont chosen = FFont;
    chosen.SetName(chooser.Face());
    chosen.SetStyle(chooser.Style());
    FFont.Assign(chosen);
    return true;
}

QStringList TFontChooser::FaceList() {
    QStringList faces = {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("ＭＳ Ｐゴシック"),
                         QStringLiteral("ＭＳ 明朝"), QStringLiteral("ＭＳ Ｐ明朝")};
    auto addFrom = [&faces](const QStringList& families) {
        for (const QString& family : families) {
            if (family.startsWith(u'.') || QFontDatabase::isPrivateFamily(family) ||
                faces.contains(family, Qt::CaseInsensitive))
                continue;
            faces << family;
        }
    };
    addFrom(QFontDatabase::families(QFontDatabase::Japanese));
    addFrom(QFontDatabase::families());
    return faces;
}

TFontChooser::TFontChooser(const TFont& font, QWidget* parent, bool faceOnly)
    : QDialog(parent), FFont(font) {
    setWindowTitle(QStringLiteral("フォント"));
    setObjectName(QStringLiteral("FontChooser"));

    FFaces = new QListWidget(this);
    FFaces->setObjectName(QStringLiteral("Faces"));
    FFaces->addItems(FaceList());
    FFaces->setMinimumWidth(220);

    FStyles = new QListWidget(this);
    FStyles->setObjectName(QStringLiteral("Styles"));
    for (const StyleChoice& choice : StyleChoices)
        FStyles->addItem(QString::fromUtf16(choice.Caption));
    FStyles->setMaximumWidth(120);

    // One size only: it is shown so that the user knows it, not offered.
    auto* sizes = new QListWidget(this);
    sizes->addItem(QString::number(font.Size()));
    sizes->setCurrentRow(0);
    sizes->setEnabled(false);
    sizes->setMaximumWidth(60);

    auto* sampleBox = new QGroupBox(QStringLiteral("サンプル"), this);
    FSample = new QLabel(SampleText, sampleBox);
    FSample->setAlignment(Qt::AlignCenter);
    FSample->setMinimumHeight(60);
    auto* sampleLayout = new QVBoxLayout(sampleBox);
    sampleLayout->addWidget(FSample);

    QDialogButtonBox* buttons = OkCancelButtons(*this);

    auto* grid = new QGridLayout(this);
    auto* facesLabel = new QLabel(QStringLiteral("フォント名(&F):"), this);
    facesLabel->setBuddy(FFaces);
    auto* stylesLabel = new QLabel(QStringLiteral("スタイル(&Y):"), this);
    stylesLabel->setBuddy(FStyles);
    grid->addWidget(facesLabel, 0, 0);
    grid->addWidget(stylesLabel, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("サイズ:"), this), 0, 2);
    grid->addWidget(FFaces, 1, 0);
    grid->addWidget(FStyles, 1, 1);
    grid->addWidget(sizes, 1, 2);
    grid->addWidget(sampleBox, 2, 0, 1, 3);
    if (faceOnly)
        for (QWidget* offered :
             {static_cast<QWidget*>(stylesLabel), static_cast<QWidget*>(FStyles),
              grid->itemAtPosition(0, 2)->widget(), static_cast<QWidget*>(sizes)})
            offered->hide();
    grid->addWidget(buttons, 3, 0, 1, 3);

    SetFace(font.Name());
    SetStyle(font.Style());
    connect(FFaces, &QListWidget::currentRowChanged, this, [this] { UpdateSample(); });
    connect(FStyles, &QListWidget::currentRowChanged, this, [this] { UpdateSample(); });
    connect(FFaces, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    UpdateSample();
}

QString TFontChooser::Face() const {
    const QListWidgetItem* item = FFaces->currentItem();
    return item != nullptr ? item->text() : FFont.Name();
}

TFontStyles TFontChooser::Style() const {
    const int row = FStyles->currentRow();
    return row >= 0 ? StyleChoices[row].Style : TFontStyles(0);
}

void TFontChooser::SetFace(const QString& face) {
    QList<QListWidgetItem*> found = FFaces->findItems(face, Qt::MatchFixedString);
    if (found.isEmpty()) {
        FFaces->insertItem(0, face);
        found = {FFaces->item(0)};
    }
    FFaces->setCurrentItem(found.front());
    FFaces->scrollToItem(found.front());
}

void TFontChooser::SetStyle(TFontStyles style) {
    const TFontStyles wanted = style & (fsBold | fsItalic);
    for (int row = 0; row < int(std::size(StyleChoices)); ++row)
        if (StyleChoices[row].Style == wanted)
            FStyles->setCurrentRow(row);
}

void TFontChooser::UpdateSample() {
    TFont sample = FFont;
    sample.SetName(Face());
    sample.SetStyle(Style());
    FSample->setFont(sample.ToQFont());
}
