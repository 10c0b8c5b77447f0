// The photo that would print coarsely (a 320 × 240 JPEG: about 43 pixels per inch on the
// sheet) in the preview window: the warning in its status bar, and the question before printing
// and before "PDFに保存" answered as a user answers it. "いいえ" prints and writes nothing and
// is asked again; "はい" goes on and is not asked again for that photo and framing; another
// framing asks again; a photo fine enough asks nothing.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/modal.h"
#include "common/imagemagick.h"
#include "preview/printlrunit.h"
#include "previewdocument.h"
#include "print/imageprinter.h"
#include "statusbar/statusbar.h"

using namespace testing_support;

namespace {

const QString Coarse43 = QStringLiteral("写真の解像度が低いため、印刷が粗くなります（約 43 ppi）");

// What a press of a button asked.
struct TAsked {
    QString Question; // empty: none
    QStringList Buttons;
    bool SaveDialog = false;
};

class CoarsePrint : public ::testing::Test {
  protected:
    void SetUp() override {
        const QString small = dir.filePath(QStringLiteral("small.jpg"));
        ASSERT_TRUE(MakeQuarters(small, 320, 240));
        document->SetPhoto(ReadSheetPhoto(small));
    }
    void TearDown() override { CancelPendingAnswers(); }

    // The save dialog answered with `pdf`, or cancelled when it is empty.
    static void AnswerSave(QWidget* modal, const QString& pdf, TAsked& asked) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        asked.SaveDialog = dialog != nullptr;
        if (dialog == nullptr || pdf.isEmpty()) {
            modal->close();
            return;
        }
        dialog->selectFile(pdf);
        QMetaObject::invokeMethod(dialog, "accept");
    }

    /// Presses `button`, answers the question (if one comes) with `answer` and the save dialog
    /// (if one comes) with `pdf`.
    TAsked Press(QPushButton* button, QMessageBox::StandardButton answer,
                 const QString& pdf = QString()) {
        TAsked asked;
        auto first = WhenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box == nullptr) {
                AnswerSave(modal, pdf, asked);
                return;
            }
            asked.Question = box->text();
            asked.Buttons = QStringList{box->button(QMessageBox::Yes)->text(),
                                        box->button(QMessageBox::No)->text()};
            WhenModal([&](QWidget* next) { AnswerSave(next, pdf, asked); }, box);
            box->button(answer)->click();
        });
        button->click();
        CancelPendingAnswers();
        return asked;
    }

    bool IsPdf(const QString& file) const {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) && f.read(5) == "%PDF-";
    }

    QTemporaryDir dir; // the program's folder
    QTemporaryDir work;
    std::unique_ptr<TCalendarDocument> document = OpenDocument(dir.path());
};

TEST_F(CoarsePrint, NoPrintsNothingYesGoesOnAndIsNotAskedAgain) {
    TImagePrinter printer(96);
    auto window = OpenPreview(*document, &printer);
    // The warning stands in the preview's status bar beside the zoom, whole.
    EXPECT_EQ(window->StBar->Panel(1).Text, Coarse43);
    EXPECT_LE(window->StBar->fontMetrics().horizontalAdvance(Coarse43) + 4,
              window->StBar->PanelRect(1).width());
    EXPECT_GT(window->StBar->PanelRect(0).width(), 200);

    TAsked asked = Press(window->BtnInsatu, QMessageBox::No);
    EXPECT_EQ(asked.Question, Coarse43 + QStringLiteral("。このまま印刷しますか？"));
    EXPECT_EQ(asked.Buttons, (QStringList{QStringLiteral("はい"), QStringLiteral("いいえ")}));
    EXPECT_TRUE(printer.Pages().empty());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->JobReport().isEmpty());
    // "いいえ" is not remembered.
    asked = Press(window->BtnInsatu, QMessageBox::No);
    EXPECT_FALSE(asked.Question.isEmpty());
    EXPECT_TRUE(printer.Pages().empty());

    // "PDFに保存": "いいえ" opens no save dialog and writes nothing.
    const QString pdf = work.filePath(QStringLiteral("coarse.pdf"));
    asked = Press(window->BtnPdf, QMessageBox::No, pdf);
    EXPECT_EQ(asked.Question, Coarse43 + QStringLiteral("。このまま保存しますか？"));
    EXPECT_FALSE(asked.SaveDialog);
    EXPECT_TRUE(QDir(work.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    // "はい": the save dialog, and the file.
    asked = Press(window->BtnPdf, QMessageBox::Yes, pdf);
    EXPECT_FALSE(asked.Question.isEmpty());
    EXPECT_TRUE(asked.SaveDialog);
    EXPECT_TRUE(IsPdf(pdf));
    // Agreed once for this photo and framing: saving again and printing ask nothing.
    const QString again = work.filePath(QStringLiteral("again.pdf"));
    asked = Press(window->BtnPdf, QMessageBox::No, again);
    EXPECT_TRUE(asked.Question.isEmpty()) << asked.Question.toStdString();
    EXPECT_TRUE(asked.SaveDialog);
    EXPECT_TRUE(IsPdf(again));
    asked = Press(window->BtnInsatu, QMessageBox::No);
    EXPECT_TRUE(asked.Question.isEmpty()) << asked.Question.toStdString();
    EXPECT_EQ(printer.Pages().size(), 1u);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->JobReport(), QStringLiteral("1 部印刷しました"));
}

TEST_F(CoarsePrint, AnotherFramingAsksAgainAndAFinePhotoAsksNothing) {
    TImagePrinter printer(96);
    auto window = OpenPreview(*document, &printer);
    EXPECT_FALSE(Press(window->BtnInsatu, QMessageBox::Yes).Question.isEmpty());
    EXPECT_EQ(printer.Pages().size(), 1u);

    // Another framing (the photo filling its 4:3 box, which this 4:3 photo fills whole): asked
    // anew, in the window opened again on the same document.
    document->SetFrameMode(TFrameMode::Fill);
    window = OpenPreview(*document, &printer);
    EXPECT_TRUE(window->StBar->Panel(1).Text.startsWith(QStringLiteral("写真の解像度が低い")));
    const TAsked asked = Press(window->BtnInsatu, QMessageBox::No);
    EXPECT_EQ(asked.Question, Coarse43 + QStringLiteral("。このまま印刷しますか？"));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->JobReport().isEmpty());

    // A photo of twelve million pixels prints finely: no warning, no question.
    const QString large = dir.filePath(QStringLiteral("large.jpg"));
    ASSERT_TRUE(MakeQuarters(large, 4000, 3000));
    document->SetPhoto(ReadSheetPhoto(large));
    EXPECT_TRUE(window->StBar->Panel(1).Text.isEmpty());
    EXPECT_EQ(window->StBar->PanelRect(0).right() + 3, window->StBar->width());
    const QString pdf = work.filePath(QStringLiteral("fine.pdf"));
    EXPECT_TRUE(Press(window->BtnPdf, QMessageBox::No, pdf).Question.isEmpty());
    EXPECT_TRUE(IsPdf(pdf));
    EXPECT_TRUE(Press(window->BtnInsatu, QMessageBox::No).Question.isEmpty());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->JobReport(), QStringLiteral("1 部印刷しました"));
}

} // namespace
