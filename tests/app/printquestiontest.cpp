// The main window with a photo that would print coarsely (320 × 240): "PDFに保存" from the
// file menu asks first, "いいえ" opening no save dialog and writing nothing; the answer "はい"
// holds for the preview it opens next; and after printing into a PDF file the status bar says
// where the page went. A photo with damaged data is told and asked about the same way.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/mainunit.h"
#include "common/imagemagick.h"
#include "modal.h"
#include "preview/printlrunit.h"
#include "print/printer.h"
#include "statusbar/statusbarp.h"

using namespace testing_support;

namespace {

// The application's printer set to print into a PDF file while it lives, as the print dialog's
// "print to file" sets it; its set-up put back afterwards.
class TPrintingToFile {
  public:
    explicit TPrintingToFile(const QString& file)
        : FPrinter(dynamic_cast<TQtPrinter&>(Printer())), FBefore(FPrinter.Setup()) {
        FPrinter.PrintToFile(file);
    }
    ~TPrintingToFile() { FPrinter.RestoreSetup(FBefore); }
    TPrintingToFile(const TPrintingToFile&) = delete;
    TPrintingToFile& operator=(const TPrintingToFile&) = delete;

  private:
    TQtPrinter& FPrinter;
    TQtPrinter::TSetup FBefore;
};

class PrintQuestion : public ::testing::Test {
  protected:
    void SetUp() override {
        const QString small = dir.filePath(QStringLiteral("small.jpg"));
        ASSERT_TRUE(MakeQuarters(small, 320, 240));
        form = std::make_unique<TmainForm>(dir.path());
        form->show();
        form->LoadPictureFile(small);
    }
    void TearDown() override { CancelPendingAnswers(); }

    /// Chooses "PDFに保存" in the file menu and answers the question with `answer`, the save
    /// dialog (if it comes) with `pdf`. Returns the question, empty when none was asked.
    QString SaveFromTheMenu(QMessageBox::StandardButton answer, const QString& pdf,
                            bool* saveDialog) {
        QString question;
        *saveDialog = false;
        const auto save = [pdf, saveDialog](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            *saveDialog = dialog != nullptr;
            if (dialog == nullptr)
                return modal->close();
            dialog->selectFile(pdf);
            return QMetaObject::invokeMethod(dialog, "accept");
        };
        auto seen = WhenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box == nullptr) {
                save(modal);
                return;
            }
            question = box->text();
            WhenModal([save](QWidget* next) { save(next); }, box);
            box->button(answer)->click();
        });
        form->MIpdf->trigger();
        CancelPendingAnswers();
        return question;
    }

    QTemporaryDir dir; // the program's folder
    QTemporaryDir work;
    std::unique_ptr<TmainForm> form;
};

TEST_F(PrintQuestion, PdfFromTheMenuAsksOnceAndThePrintSaysWhereItWent) {
    const QString pdf = work.filePath(QStringLiteral("menu.pdf"));
    bool saveDialog = false;
    EXPECT_EQ(
        SaveFromTheMenu(QMessageBox::No, pdf, &saveDialog),
        QStringLiteral(
            "写真の解像度が低いため、印刷が粗くなります（約 43 ppi）。このまま保存しますか？"));
    EXPECT_FALSE(saveDialog);
    EXPECT_FALSE(QFile::exists(pdf));

    EXPECT_FALSE(SaveFromTheMenu(QMessageBox::Yes, pdf, &saveDialog).isEmpty());
    EXPECT_TRUE(saveDialog);
    EXPECT_TRUE(QFile::exists(pdf));
    EXPECT_TRUE(form->StBar->Text().startsWith(QStringLiteral("PDFに保存しました")))
        << form->StBar->Text().toStdString();

    // The preview the window opens next asks nothing for the photo agreed to, prints into the
    // file the printer set-up chose, and the status bar says so.
    const QString printed = work.filePath(QStringLiteral("printed.pdf"));
    const TPrintingToFile toFile(printed);
    QString asked;
    auto seen = WhenModal([&asked](QWidget* w) {
        auto* preview = qobject_cast<TFrmPrtLR*>(w);
        ASSERT_NE(preview, nullptr);
        WhenModal(
            [&asked](QWidget* other) {
                asked = other->windowTitle();
                other->close();
            },
            preview);
        preview->BtnInsatu->click();
    });
    form->Button1->click();
    ASSERT_TRUE(*seen);
    EXPECT_TRUE(asked.isEmpty()) << asked.toStdString();
    QFile file(printed);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(5), QByteArray("%PDF-"));
    EXPECT_EQ(form->StBar->Text(),
              QStringLiteral("「%1」に保存しました").arg(QDir::toNativeSeparators(printed)));
    // The warning stays in its panel all the while.
    EXPECT_EQ(form->StBar->Panel(TmainForm::WarningPanel).Text,
              QStringLiteral("解像度不足 約43ppi"));
}

// A photo whose scan data is damaged loads and shows as its readers show it; the status bar says
// so as it loads and keeps it in the warning panel, and saving asks first, naming the file.
TEST_F(PrintQuestion, ADamagedPhotoIsSaidAsItLoadsAndAskedAboutBeforeSaving) {
    const QString plasma = dir.filePath(QStringLiteral("plasma.jpg"));
    ASSERT_TRUE(
        Convert({QStringLiteral("-size"), QStringLiteral("2400x1800"), QStringLiteral("-seed"),
                 QStringLiteral("27"), QStringLiteral("plasma:fractal"), QStringLiteral("-quality"),
                 QStringLiteral("90"), plasma}));
    QFile file(plasma);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    file.close();
    const qsizetype scan = bytes.lastIndexOf("\xFF\xDA") + 20;
    for (qsizetype at = scan + (bytes.size() - scan) / 2, n = 0; n < 100; at += 11, ++n)
        if (bytes[at - 1] != char(0xFF) && bytes[at] != char(0xFF) && bytes[at + 1] != char(0xFF) &&
            bytes[at] != char(0xA5))
            bytes[at] = char(bytes[at] ^ 0x5A);
    const QString damaged = dir.filePath(QStringLiteral("壊れた写真.jpg"));
    QFile out(damaged);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();

    form->LoadPictureFile(damaged);
    const QString warning = QStringLiteral(
        "写真「壊れた写真.jpg」は一部が壊れています（JPEGの圧縮データ）。帯状に乱れて印刷されることがあります");
    EXPECT_EQ(form->StBar->Text(), warning);
    EXPECT_EQ(form->StBar->Panel(TmainForm::WarningPanel).Text, QStringLiteral("写真が一部破損"));
    const QString pdf = work.filePath(QStringLiteral("damaged.pdf"));
    bool saveDialog = false;
    EXPECT_EQ(SaveFromTheMenu(QMessageBox::No, pdf, &saveDialog),
              warning + QStringLiteral("。このまま保存しますか？"));
    EXPECT_FALSE(saveDialog);
    EXPECT_FALSE(QFile::exists(pdf));
    // A sound photo again: nothing to say, nothing to ask.
    const QString sound = dir.filePath(QStringLiteral("sound.jpg"));
    ASSERT_TRUE(MakeQuarters(sound, 2400, 1800));
    form->LoadPictureFile(sound);
    EXPECT_TRUE(form->StBar->Panel(TmainForm::WarningPanel).Text.isEmpty());
    EXPECT_TRUE(SaveFromTheMenu(QMessageBox::No, pdf, &saveDialog).isEmpty());
    EXPECT_TRUE(saveDialog);
}

} // namespace
