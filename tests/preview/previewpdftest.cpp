// "PDFに保存" and the paper choice of the preview window on the offscreen platform, through the
// real button, the real save dialog and the window's own handlers: the file holds the sheet as
// the preview shows it with the photo's own bytes, the folder is remembered, a folder that
// cannot be written gives the message and leaves no file, and the paper is previewed, printed
// and kept in the program's state file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QToolButton>

#include "app/modal.h"
#include "common/files.h"
#include "common/imagemagick.h"
#include "common/pagecompare.h"
#include "common/pdfcheck.h"
#include "common/sheetpage.h"
#include "preview/printlrunit.h"
#include "previewdocument.h"
#include "print/imageprinter.h"
#include "settings/statefile.h"
#include "statusbar/statusbar.h"
#include "widgets/image.h"

using namespace testing_support;

namespace {

// Files are created and refused as for an unprivileged user: the superuser may write anywhere,
// so while it lives the process acts as the user nobody.
class TActAsNobody {
  public:
    TActAsNobody() : FWasRoot(::geteuid() == 0) {
        if (FWasRoot && ::setegid(65534) == 0)
            FActing = ::seteuid(65534) == 0;
    }
    ~TActAsNobody() {
        if (FWasRoot) {
            [[maybe_unused]] const int u = ::seteuid(0);
            [[maybe_unused]] const int g = ::setegid(0);
        }
    }
    /// False when the superuser could not become nobody.
    bool Ok() const { return !FWasRoot || FActing; }
    TActAsNobody(const TActAsNobody&) = delete;
    TActAsNobody& operator=(const TActAsNobody&) = delete;

  private:
    bool FWasRoot;
    bool FActing = false;
};

class PreviewPdf : public ::testing::Test {
  protected:
    void SetUp() override {
        // Readable by the user nobody too.
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                              QFileDevice::ExeOther);
        // The page at 100 % is what these tests compare.
        KeepZoomAt100(dir.path());
        // 163 pixels per inch on the sheet: fine enough that printing and saving ask nothing.
        photo = dir.filePath(QStringLiteral("photo.jpg"));
        ASSERT_TRUE(
            MakeQuarters(photo, 1200, 600, {QStringLiteral("-quality"), QStringLiteral("93")}));
        QFile::setPermissions(photo, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                         QFileDevice::ReadOther);
        document = OpenDocument(dir.path());
        document->SetPhoto(ReadSheetPhoto(photo));
    }
    void TearDown() override { CancelPendingAnswers(); }

    std::unique_ptr<TFrmPrtLR> Open(TPrinter* printer = nullptr) {
        return OpenPreview(*document, printer);
    }
    QImage Shown(const TFrmPrtLR& w) const { return w.Image1->Picture().Graphic()->ToImage(); }
    static QString Status(const TFrmPrtLR& w) { return w.StBar->Panel(0).Text; }

    /// Presses "PDFに保存", answers the save dialog with `file` (its suggestion is kept in
    /// `suggested`), confirms replacing a file that exists and, if `message` is given, keeps
    /// the text of the message box that follows.
    void SaveThroughTheDialog(TFrmPrtLR& window, const QString& file, QString* suggested,
                              QString* message = nullptr) {
        QString title;
        std::shared_ptr<bool> answered;
        std::shared_ptr<bool> confirmed;
        const bool exists = QFileInfo::exists(file);
        auto seen = WhenModal([&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(dialog, nullptr);
            title = dialog->windowTitle();
            *suggested = dialog->selectedFiles().value(0);
            const auto answerMessage = [&](QWidget* except) {
                if (message != nullptr)
                    answered = AnswerMessage(QMessageBox::Ok, message, except);
            };
            if (exists) {
                // The dialog asks first whether the file may be replaced: yes.
                confirmed = WhenModal(
                    [&](QWidget* q) {
                        auto* box = qobject_cast<QMessageBox*>(q);
                        ASSERT_NE(box, nullptr);
                        answerMessage(box);
                        box->button(QMessageBox::Yes)->click();
                    },
                    dialog);
            } else {
                answerMessage(dialog);
            }
            dialog->selectFile(file);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        window.BtnPdf->click();
        ASSERT_TRUE(*seen) << "no save dialog";
        EXPECT_EQ(title, QStringLiteral("PDFに保存"));
        if (exists) {
            ASSERT_TRUE(confirmed != nullptr && *confirmed) << "no question about replacing";
        }
        if (message != nullptr) {
            ASSERT_TRUE(answered != nullptr && *answered) << "no message";
        }
    }

    QTemporaryDir dir; // the program's folder
    QTemporaryDir work;
    QString photo; // a JPEG photo of 1200 × 600 pixels in the program's folder
    std::unique_ptr<TCalendarDocument> document;
};

TEST_F(PreviewPdf, TheButtonSavesTheSheetAsShownAndRemembersTheFolder) {
    auto window = Open();
    EXPECT_EQ(window->BtnPdf->text(), QStringLiteral("PDFに保存"));
    // The sheet 4 units to the right, as the user applied it.
    window->TrackBar1->setValue(4);
    window->SpeedButton1->click();
    const QImage shown = Shown(*window);

    const QString folder = dir.filePath(QStringLiteral("カレンダー置き場"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + QStringLiteral("/カレンダー2027.pdf");
    QString suggested;
    SaveThroughTheDialog(*window, file, &suggested);
    EXPECT_EQ(QFileInfo(suggested).fileName(), QStringLiteral("カレンダー2027.pdf"));
    ASSERT_TRUE(QFile::exists(file));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files),
              QStringList{QStringLiteral("カレンダー2027.pdf")})
        << "no temporary file left";
    EXPECT_TRUE(Status(*window).startsWith(QStringLiteral("PDFに保存しました")))
        << Status(*window).toStdString();

    // The photo's own bytes, on the page the preview shows.
    const std::vector<QByteArray> data = PdfJpegData(file, work.path());
    ASSERT_EQ(data.size(), 1u);
    EXPECT_TRUE(data[0] == ReadBytes(photo));
    // Around the picture box (where the preview shows the photo reduced and the PDF the photo
    // itself), the page is the preview's within the differences of two rasterisers.
    const QImage page = RenderPdf(file, 96, work.path());
    ASSERT_EQ(page.size(), shown.size());
    QImage blanked = page;
    QImage shownBlanked = shown;
    for (QImage* image : {&blanked, &shownBlanked}) {
        QPainter p(image);
        p.fillRect(QRect(43 + 4, 39, 708, 531), Qt::white);
    }
    const TPageDifference d = ComparePages(blanked, shownBlanked, page.rect());
    EXPECT_LT(d.MeanLevel, 12);
    EXPECT_LT(d.Pixels, 1000);
    EXPECT_EQ(MainInk(page, Inside(DayCell(1, 5, 0, 4)).adjusted(1, 1, -1, -1)), TInk::Red);

    // The folder is the one offered next time.
    EXPECT_EQ(
        TStateFile(dir.path()).ReadString(QStringLiteral("pdf"), QStringLiteral("folder"), {}),
        folder);
    auto again = WhenModal([&suggested](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        suggested = dialog->selectedFiles().value(0);
        dialog->reject();
    });
    window->BtnPdf->click();
    ASSERT_TRUE(*again);
    EXPECT_EQ(suggested, file);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 1); // cancelled: nothing written
}

TEST_F(PreviewPdf, APhotoGoneOrChangedSinceItWasLoadedStillGoesInAsItWasRead) {
    const QByteArray read = ReadBytes(photo);
    auto window = Open();
    // The USB stick pulled: the file is gone. The PDF holds the photo's bytes as they were read.
    ASSERT_TRUE(QFile::remove(photo));
    const QString gone = work.filePath(QStringLiteral("gone.pdf"));
    window->SavePdf(gone);
    std::vector<QByteArray> data = PdfJpegData(gone, work.path());
    ASSERT_EQ(data.size(), 1u);
    EXPECT_TRUE(data[0] == read);
    EXPECT_TRUE(Status(*window).startsWith(QStringLiteral("PDFに保存しました")));
    // Another photo under its name: still the one that was read.
    ASSERT_TRUE(MakeQuarters(photo, 600, 400));
    const QString changed = work.filePath(QStringLiteral("changed.pdf"));
    window->SavePdf(changed);
    data = PdfJpegData(changed, work.path());
    ASSERT_EQ(data.size(), 1u);
    EXPECT_TRUE(data[0] == read);
}

TEST_F(PreviewPdf, AFolderThatCannotBeWrittenGivesTheMessageAndLeavesNoFile) {
    const QString folder = dir.filePath(QStringLiteral("readonly"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString kept = folder + QStringLiteral("/前の.pdf");
    WriteBytes(kept, "old");
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                      QFileDevice::ReadOther | QFileDevice::ExeOther);
    auto window = Open();
    {
        TActAsNobody nobody;
        ASSERT_TRUE(nobody.Ok()) << "cannot act as the user nobody";
        QString suggested, message;
        SaveThroughTheDialog(*window, folder + QStringLiteral("/カレンダー2027.pdf"), &suggested,
                             &message);
        EXPECT_EQ(
            message,
            QStringLiteral(
                "PDFファイル「カレンダー2027.pdf」を保存できません。書き込める場所を選んでください。PDFファイルは作られていません。"));
        // Over a file that exists, the message says it is kept.
        SaveThroughTheDialog(*window, kept, &suggested, &message);
        EXPECT_EQ(
            message,
            QStringLiteral(
                "PDFファイル「前の.pdf」を保存できません。書き込める場所を選んでください。元のファイルはそのまま残っています。"));
    }
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("前の.pdf")});
    EXPECT_EQ(ReadBytes(kept), QByteArray("old"));
    EXPECT_EQ(Status(*window), QStringLiteral("PDFに保存できませんでした"));
    EXPECT_TRUE(window->isVisible());
    // The window goes on: a writable place works.
    const QString file = work.filePath(QStringLiteral("ok.pdf"));
    window->SavePdf(file);
    EXPECT_TRUE(QFile::exists(file));
}

TEST_F(PreviewPdf, ThePaperIsPreviewedPrintedAndKept) {
    TImagePrinter printer(96);
    auto window = Open(&printer);
    QStringList captions;
    for (int i = 0; i < window->CmbPaper->count(); ++i)
        captions << window->CmbPaper->itemText(i);
    EXPECT_EQ(captions,
              (QStringList{QStringLiteral("A4"), QStringLiteral("A3"), QStringLiteral("B4"),
                           QStringLiteral("B5"), QStringLiteral("A5"), QStringLiteral("レター")}));
    EXPECT_EQ(window->CmbPaper->currentIndex(), 0);
    const QImage a4 = Shown(*window);

    window->CmbPaper->setCurrentIndex(1);
    emit window->CmbPaper->activated(1);
    EXPECT_EQ(window->Image1->size(), QSize(1123, 1587));
    const QImage a3 = Shown(*window);
    ASSERT_EQ(a3.size(), QSize(1123, 1587));
    // The A4 sheet enlarged to the A3 paper (by 1587 ÷ 1123, the narrower fit) and centred.
    const QImage enlarged = a4.scaled(1122, 1587, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QImage expected(1123, 1587, QImage::Format_RGB32);
    expected.fill(Qt::white);
    {
        QPainter p(&expected);
        p.drawImage(0, 0, enlarged);
    }
    EXPECT_LT(ComparePages(a3, expected, a3.rect().adjusted(1, 1, -1, -1), 128).MeanLevel, 8);
    window->BtnSyukushoClick();
    EXPECT_EQ(window->Image1->size(), QSize(842, 1190)); // 75 %: 842.25, 1190.25

    // Kept in the state file, UTF-8 with its byte-order mark, and chosen again next time.
    const QByteArray state = ReadBytes(dir.filePath(QStringLiteral("tamurika-state.ini")));
    EXPECT_TRUE(state.startsWith("\xEF\xBB\xBF")) << state.constData();
    EXPECT_TRUE(state.contains("[paper]\r\nsize=A3")) << state.constData();
    {
        const auto nextRun = OpenDocument(dir.path());
        TFrmPrtLR next(*nextRun);
        EXPECT_EQ(next.CmbPaper->currentText(), QStringLiteral("A3"));
        EXPECT_EQ(next.LightRep1()->PrintPaper(), psA3);
    }

    // "印刷(&P)" asks the printer for A3, and the PDF has the paper's size.
    window->SavePdf(work.filePath(QStringLiteral("a3.pdf")));
    const auto info = PdfInfo(work.filePath(QStringLiteral("a3.pdf")));
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->Width, 842);
    EXPECT_EQ(info->Height, 1191);
    window->BtnInsatu->click();
    ASSERT_EQ(printer.Pages().size(), 1u);
    EXPECT_EQ(printer.Pages().front().size(), QSize(1123, 1588)); // 297 × 420 mm at 96 per inch
}

} // namespace
