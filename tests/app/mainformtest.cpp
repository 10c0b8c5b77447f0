// The main window driven through its own handlers on the offscreen platform: start-up, year
// commands and titles, pictures, fonts and colours with the changed flag, the colour column,
// status-bar hints, help and the about box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

#include "../common/files.h"
#include "../common/imagemagick.h"
#include "../common/pdfcheck.h"
#include "../common/sheetpage.h"
#include "app/fontsaveunit1.h"
#include "app/mainunit.h"
#include "app/verunit.h"
#include "calendar/julius.h"
#include "calex/calex.h"
#include "dib/vddib.h"
#include "modal.h"
#include "model/calendardocument.h"
#include "qtprint.h"
#include "statusbar/statusbarp.h"
#include "widgets/image.h"
#include "widgets/opendialog.h"
#include "widgets/panel.h"

using testing_support::AnswerMessage;
using testing_support::MakeQuarters;
using testing_support::WhenModal;

namespace {

const QByteArray SjisNengayou("\x94\x4E\x89\xEA\x97\x70"); // 年賀用

int ThisYear() {
    return QDate::currentDate().year();
}

QColor TextColor(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

void MoveMouseOver(QWidget* widget, QPoint at = QPoint(5, 5)) {
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

// Answers the next colour dialog: a colour confirms it, none cancels it.
std::shared_ptr<bool> AnswerColor(std::optional<QColor> color) {
    return WhenModal([color](QWidget* w) {
        auto* dialog = qobject_cast<QColorDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        if (color) {
            dialog->setCurrentColor(*color);
            dialog->accept();
        } else {
            dialog->reject();
        }
    });
}

// What the font dialog of one of the four fonts shows when it opens: the face, the style and
// the one size it offers.
struct TFontShown {
    QString Face;
    TFontStyles Style = 0;
    QString Size;
};

// Answers the closing question "はい" and then, in the save dialog that follows, does `act`;
// the flag turns true once the save dialog was there.
std::shared_ptr<bool> AnswerYesThenInTheSaveDialog(std::function<void(TFrmfontSave&)> act) {
    auto saveSeen = std::make_shared<bool>(false);
    WhenModal([saveSeen, act](QWidget* box) {
        testing_support::WhenModal(
            [saveSeen, act](QWidget* w) {
                auto* dialog = qobject_cast<TFrmfontSave*>(w);
                ASSERT_NE(dialog, nullptr);
                *saveSeen = true;
                act(*dialog);
            },
            box);
        qobject_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click();
    });
    return saveSeen;
}

class MainFormTest : public ::testing::Test {
  protected:
    void SetUp() override { form = std::make_unique<TmainForm>(dir.path()); }
    void TearDown() override { testing_support::CancelPendingAnswers(); }
    /// Shows the window, which runs the start-up sequence.
    void Start() { form->show(); }
    QString Ini() const { return dir.filePath(QStringLiteral("tamurika.ini")); }
    TCalendarDocument& Document() { return form->Document(); }
    const TCalendarModel& Model() { return form->Document().Model(); }

    /// Opens the font dialog of `font` with its button, reads it and cancels it.
    TFontShown OpenFontDialog(TSheetFont font) {
        TFontShown shown;
        auto seen = WhenModal([&shown](QWidget* w) {
            auto* chooser = qobject_cast<TFontChooser*>(w);
            ASSERT_NE(chooser, nullptr);
            shown.Face = chooser->Face();
            shown.Style = chooser->Style();
            // The size is shown in a list of its own, not offered.
            for (auto* list : chooser->findChildren<QListWidget*>())
                if (list->objectName().isEmpty() && list->count() == 1)
                    shown.Size = list->item(0)->text();
            chooser->reject();
        });
        QPushButton* const buttons[] = {form->Button11, form->Button3, form->Button10,
                                        form->Button12};
        buttons[font]->click();
        EXPECT_TRUE(*seen);
        return shown;
    }

    QTemporaryDir dir; // the program's folder; outlives the window
    std::unique_ptr<TmainForm> form;
};

// --- Start-up ----------------------------------------------------------------------------------

TEST_F(MainFormTest, FirstStartShowsThisYearsJanuaryWithDefaults) {
    Start();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("たむりか"));
    EXPECT_EQ(form->centralWidget()->size(), QSize(475, 387));
    EXPECT_FALSE(form->MIkaku->menuAction()->isVisible());
    EXPECT_EQ(Document().AppPath, dir.path() + "/");

    EXPECT_EQ(form->CalendarEx1->Year(), ThisYear());
    EXPECT_EQ(form->CalendarEx1->Month(), 1);
    EXPECT_EQ(form->CalendarEx1->Day(), 1);
    EXPECT_EQ(form->nenST->Caption(), QString::number(ThisYear()) + "年");
    EXPECT_EQ(form->tukiST->Caption(), QStringLiteral("1月"));
    EXPECT_EQ(form->ComboBox3->currentIndex(), 0);
    EXPECT_EQ(form->focusWidget(), form->CalendarEx1);

    EXPECT_EQ(Model().Year, ThisYear());
    EXPECT_TRUE(Model().Photo.Empty());

    EXPECT_FALSE(Document().SettingsChanged);
    EXPECT_EQ(Document().CurrentSlot, 1);
    EXPECT_EQ(Document().SlotComments[0], QStringLiteral("フォント設定1"));
    EXPECT_EQ(Document().SlotComments[9], QStringLiteral("フォント設定10"));
    // Each font's dialog offers the one size of its text on the sheet: 24, 11, 8 and 8 points.
    const char* const sizes[] = {"24", "11", "8", "8"};
    for (int k = 0; k < SheetFontCount; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(Model().Settings.Fonts[k].Name, QStringLiteral("ＭＳ ゴシック"));
        EXPECT_EQ(Model().Settings.Fonts[k].Style, 0);
        const TFontShown shown = OpenFontDialog(TSheetFont(k));
        EXPECT_EQ(shown.Face, QStringLiteral("ＭＳ ゴシック"));
        EXPECT_EQ(shown.Style, 0);
        EXPECT_EQ(shown.Size, QString::fromLatin1(sizes[k]));
    }
    EXPECT_FALSE(Document().SettingsChanged); // cancelled dialogs change nothing
    // Messages, progress, its percentage, and the coarse-print warning to the right edge.
    ASSERT_EQ(form->StBar->PanelCount(), 4);
    EXPECT_EQ(form->StBar->Panel(0).Width, 220);
    EXPECT_EQ(form->StBar->Panel(1).Width, 76);
    EXPECT_EQ(form->StBar->Panel(2).Width, 42);
    EXPECT_EQ(form->StBar->Panel(TmainForm::WarningPanel).Text, QString());
    EXPECT_FALSE(QFile::exists(Ini())); // starting never writes
}

TEST_F(MainFormTest, StartRestoresTheSlotSavedLastFromAShiftJisFile) {
    WriteBytes(Ini(), "[settei4]\r\ncomment=" + SjisNengayou +
                          "\r\nfont3=IPAMincho\r\nfs31=1\r\nfs32=1\r\nDocolor=32768\r\n"
                          "Youbicolor=65535\r\nzenkaiym=3\r\n[tamurika]\r\nzenkai=4\r\n");
    Start();
    EXPECT_EQ(Document().CurrentSlot, 4);
    EXPECT_EQ(Document().SlotComments[3], QStringLiteral("年賀用"));
    EXPECT_EQ(form->ComboBox3->currentIndex(), 3);
    ASSERT_GE(ThisYear(), 2019);
    EXPECT_EQ(form->nenST->Caption(), QStringLiteral("令和 %1 年 ").arg(ThisYear() - 2018));
    EXPECT_EQ(Model().Settings.Fonts[sfDay].Name, QStringLiteral("IPAMincho"));
    EXPECT_EQ(Model().Settings.Fonts[sfDay].Style, fsBold | fsItalic);
    const TFontShown day = OpenFontDialog(sfDay);
    EXPECT_EQ(day.Face, QStringLiteral("IPAMincho"));
    EXPECT_EQ(day.Style, fsBold | fsItalic);
    EXPECT_EQ(day.Size, QStringLiteral("8")); // the size is never stored
    EXPECT_EQ(Model().Settings.Colors[scSaturday], clGreen);
    EXPECT_EQ(form->Swatches[scSaturday]->Color(), clGreen);
    EXPECT_EQ(form->CalendarEx1->SaturdayColor(), clGreen);
    EXPECT_EQ(TextColor(form->lblY[6]), ToQColor(clGreen));
    EXPECT_EQ(form->pnlYoubi->Color(), clYellow);
    EXPECT_EQ(Model().Settings.Colors[scHeaderBack], clYellow);
    EXPECT_EQ(Model().Settings.TitleStyle, 3);
    EXPECT_FALSE(Document().SettingsChanged);
}

TEST_F(MainFormTest, LastSlotOutsideTheRangeLoadsDefaultsAndUnknownStyleIsTheFirst) {
    WriteBytes(Ini(), "[settei1]\r\nzenkaiym=5\r\n[tamurika]\r\nzenkai=12\r\n");
    Start();
    EXPECT_EQ(Document().CurrentSlot, 12);
    EXPECT_EQ(form->ComboBox3->currentIndex(), 0);

    WriteBytes(Ini(), "[settei2]\r\nzenkaiym=9\r\n[tamurika]\r\nzenkai=2\r\n");
    form = std::make_unique<TmainForm>(dir.path());
    Start();
    // A style none of the eight titles as the first style does, never with empty titles.
    EXPECT_EQ(form->ComboBox3->currentIndex(), 0);
    EXPECT_EQ(form->nenST->Caption(), QString::number(ThisYear()) + "年");
    EXPECT_EQ(form->tukiST->Caption(), QStringLiteral("1月"));
    EXPECT_FALSE(Document().SettingsChanged);
}

// --- Year commands and titles ------------------------------------------------------------------

TEST_F(MainFormTest, YearCommandsMoveTheYearAndTheTitlesFollow) {
    Start();
    form->Button5Click();
    EXPECT_EQ(form->nenST->Caption(), QString::number(ThisYear() + 1) + "年");
    form->Button2Click();
    form->Button2Click();
    EXPECT_EQ(form->nenST->Caption(), QString::number(ThisYear() - 1) + "年");
    EXPECT_EQ(form->tukiST->Caption(), QStringLiteral("1月"));

    form->CalendarEx1->SetJuliusDay(Julius::YMDToJD(2024, 2, 29));
    EXPECT_EQ(form->tukiST->Caption(), QStringLiteral("2月"));
    form->Button5Click(); // keeps month and day, shortened to the month
    EXPECT_EQ(form->CalendarEx1->Year(), 2025);
    EXPECT_EQ(form->CalendarEx1->Month(), 2);
    EXPECT_EQ(form->CalendarEx1->Day(), 28);
    EXPECT_EQ(form->nenST->Caption(), QStringLiteral("2025年"));

    form->Button6Click(); // the whole date becomes today
    const QDate today = QDate::currentDate();
    EXPECT_EQ(form->CalendarEx1->Month(), today.month());
    EXPECT_EQ(form->CalendarEx1->Day(), today.day());
    EXPECT_EQ(form->tukiST->Caption(), QString::number(today.month()) + "月");
    EXPECT_FALSE(Document().SettingsChanged);
}

TEST_F(MainFormTest, TitlesOfEveryStyleAtTheEraEdges) {
    struct Row {
        int year;
        const char* titles[8];
    };
    const Row rows[] = {
        {1988,
         {"1988年", "1988 年 ", "63 年 ", "昭和 63 年 ", "63 年 ", "昭和 63 年 ", "1988", "1988"}},
        {1989,
         {"1989年", "1989 年 ", "1 年 ", "平成 1 年 ", "1 年 ", "平成 1 年 ", "1989", "1989"}},
        {2018,
         {"2018年", "2018 年 ", "30 年 ", "平成 30 年 ", "30 年 ", "平成 30 年 ", "2018", "2018"}},
        {2019,
         {"2019年", "2019 年 ", "1 年 ", "令和 1 年 ", "1 年 ", "令和 1 年 ", "2019", "2019"}},
        {2026,
         {"2026年", "2026 年 ", "8 年 ", "令和 8 年 ", "8 年 ", "令和 8 年 ", "2026", "2026"}},
    };
    const char* const october[8] = {"10月",          "10月 (October)", "10月",    "10月",
                                    "10月 (神無月)", "10月 (神無月)",  "October", "Oct"};
    Start();
    form->CalendarEx1->SetMonth(10);
    for (int style = 0; style < 8; ++style) {
        form->ComboBox3->setCurrentIndex(style);
        emit form->ComboBox3->activated(style); // as the user picks it
        EXPECT_TRUE(Document().SettingsChanged);
        EXPECT_EQ(form->tukiST->Caption(), QString::fromUtf8(october[style])) << style;
        for (const Row& row : rows) {
            form->CalendarEx1->SetYear(row.year);
            EXPECT_EQ(form->nenST->Caption(), QString::fromUtf8(row.titles[style]))
                << "style " << style << ", " << row.year;
        }
    }
}

// --- Pictures ----------------------------------------------------------------------------------

class PictureTest : public MainFormTest {
  protected:
    QString MakePicture(int w, int h, const QString& extension) {
        const QString path = dir.filePath(QStringLiteral("p%1x%2.%3").arg(w).arg(h).arg(extension));
        EXPECT_TRUE(MakeQuarters(path, w, h)) << path.toStdString();
        return path;
    }
};

TEST_F(PictureTest, PicturesFitTheSampleBoxWithTheirAspectRatio) {
    struct Row {
        int w, h;
        const char* ext;
        QRect bounds;
    };
    const Row rows[] = {
        {640, 480, "jpg", QRect(0, 0, 224, 168)},    {641, 480, "BMP", QRect(0, 0, 224, 168)},
        {1000, 500, "jpeg", QRect(0, 28, 224, 112)}, {500, 1000, "bmp", QRect(70, 0, 84, 168)},
        {100, 50, "bmp", QRect(0, 28, 224, 112)},
    };
    Start();
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.w << "x" << row.h);
        const QString file = MakePicture(row.w, row.h, QString::fromLatin1(row.ext));
        form->LoadPictureFile(file);
        EXPECT_EQ(form->Image1->geometry(), row.bounds);
        EXPECT_EQ(Model().Photo.Size(), QSize(row.w, row.h));
        EXPECT_EQ(Model().PictureSize(), QSize(row.w, row.h));
        EXPECT_EQ(Model().Photo.FileName, file);
        EXPECT_EQ(form->Image1->Picture().Width(), row.w); // kept at full resolution
        EXPECT_EQ(form->OpenDialog1.FileName, file);
    }
    EXPECT_FALSE(Document().SettingsChanged);
}

TEST_F(PictureTest, SampleShowsThePictureCentredWithWhiteMargins) {
    Start();
    form->LoadPictureFile(MakePicture(1000, 500, "bmp"));
    const QImage box = form->Panel4->grab().toImage();
    const QPoint inside = form->Panel4->ClientRect().topLeft(); // the box's sunken border
    auto at = [&](int x, int y) { return box.pixel(inside + QPoint(x, y)); };
    EXPECT_TRUE(testing_support::Near(at(112, 10), qRgb(255, 255, 255)));  // margin above
    EXPECT_TRUE(testing_support::Near(at(112, 160), qRgb(255, 255, 255))); // margin below
    EXPECT_TRUE(testing_support::Near(at(50, 50), qRgb(0, 0, 255)));       // top-left quarter
    EXPECT_TRUE(testing_support::Near(at(170, 120), qRgb(0, 255, 0)));     // bottom-right
    EXPECT_TRUE(testing_support::Near(at(170, 50), qRgb(255, 0, 0)));
}

TEST_F(PictureTest, OpenDialogLoadsTheChosenFileAndCancelKeepsEverything) {
    Start();
    const QString file = MakePicture(500, 1000, "jpg");
    auto seen = WhenModal([&file](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->nameFilters().join(' ').contains("*.jpeg"));
        dialog->selectFile(file);
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog's own accept() checks the file
    });
    form->Button9Click();
    EXPECT_TRUE(*seen);
    EXPECT_EQ(form->Image1->geometry(), QRect(70, 0, 84, 168));
    form->Button9MouseMove();
    EXPECT_EQ(form->StBar->Text(), QStringLiteral("画像ファイル：") + file);

    seen = WhenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    form->Button9Click();
    EXPECT_TRUE(*seen);
    EXPECT_EQ(form->OpenDialog1.FileName, file);
    EXPECT_EQ(form->Image1->geometry(), QRect(70, 0, 84, 168));
}

TEST_F(PictureTest, ABrokenFileChangesNothing) {
    Start();
    const QString good = MakePicture(1000, 500, "jpg");
    form->LoadPictureFile(good);
    const TSheetPhoto loaded = Model().Photo;
    const int steps = Document().UndoStack().count();
    const QString broken = dir.filePath("broken.jpg");
    WriteBytes(broken, "\xFF\xD8\xFF\xE0 this is not a JPEG stream");
    const QString xcf = dir.filePath("drawing.xcf"); // a format no picture class reads
    WriteBytes(xcf, "gimp xcf v011");
    for (const QString& bad : {broken, xcf, dir.filePath("missing.bmp")}) {
        EXPECT_THROW(form->LoadPictureFile(bad), EInvalidGraphic) << bad.toStdString();
        EXPECT_EQ(form->Image1->geometry(), QRect(0, 28, 224, 112));
        EXPECT_EQ(Model().Photo, loaded); // the same photo, as it was read
        EXPECT_EQ(Model().Photo.Size(), QSize(1000, 500));
        EXPECT_EQ(Document().UndoStack().count(), steps); // no step to undo
        EXPECT_EQ(form->OpenDialog1.FileName, good);
    }
}

TEST_F(PictureTest, DroppingAPictureFileLoadsIt) {
    Start();
    const QString file = MakePicture(500, 1000, "bmp");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &drop);
    EXPECT_EQ(form->Image1->geometry(), QRect(70, 0, 84, 168));
    EXPECT_EQ(form->OpenDialog1.FileName, file);

    QMimeData text;
    text.setUrls({QUrl::fromLocalFile(dir.filePath("notes.txt"))});
    QDragEnterEvent refused(QPoint(100, 100), Qt::CopyAction, &text, Qt::LeftButton,
                            Qt::NoModifier);
    refused.setAccepted(false);
    QApplication::sendEvent(form.get(), &refused);
    EXPECT_FALSE(refused.isAccepted());
}

TEST_F(PictureTest, TheDialogTheHintAndDroppingTakeEveryRegisteredFormat) {
    // As the program starts: the device-independent bitmap registers ".dib" before the window
    // is made.
    RegisterVdDIB();
    form = std::make_unique<TmainForm>(dir.path());
    Start();
    const QStringList names = TOpenDialog::NameFilters(form->OpenDialog1.Filter);
    ASSERT_EQ(names.size(), 1);
    for (const char* extension :
         {"bmp", "jpg", "jpeg", "png", "gif", "tif", "tiff", "webp", "heic", "heif", "dib"}) {
        EXPECT_TRUE(names[0].contains(QStringLiteral("*.") + extension)) << extension;
        EXPECT_TRUE(form->Button9->toolTip().contains(QString::fromLatin1(extension))) << extension;
    }
    EXPECT_TRUE(names[0].startsWith(QStringLiteral("画像ファイル(bmp,jpg,jpeg,png,")));
    EXPECT_TRUE(form->Button9->toolTip().startsWith(QStringLiteral("画像ファイル（bmp,jpg,")));

    const auto drop = [this](const QString& file) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        enter.setAccepted(false);
        QApplication::sendEvent(form.get(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton,
                           Qt::NoModifier);
        QApplication::sendEvent(form.get(), &dropped);
        return true;
    };
    const QString dib = dir.filePath("old.DIB");
    ASSERT_TRUE(MakeQuarters("BMP3:" + dib, 500, 1000));
    EXPECT_TRUE(drop(dib));
    EXPECT_EQ(form->OpenDialog1.FileName, dib);
    EXPECT_EQ(form->Image1->geometry(), QRect(70, 0, 84, 168));
    const QString png = MakePicture(1000, 500, "png");
    EXPECT_TRUE(drop(png));
    EXPECT_EQ(form->OpenDialog1.FileName, png);
    EXPECT_EQ(form->Image1->geometry(), QRect(0, 28, 224, 112));
    EXPECT_FALSE(drop(dir.filePath("notes.txt")));
    EXPECT_EQ(form->OpenDialog1.FileName, png);
    form.reset();
    UnregisterVdDIB();
}

// The folder the picture dialog opens in, as it shows it.
QString DialogStartFolder(TmainForm& form) {
    QString folder = QStringLiteral("<no dialog>");
    auto seen = WhenModal([&folder](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        folder = dialog->directory().absolutePath();
        dialog->reject();
    });
    form.Button9Click();
    EXPECT_TRUE(*seen);
    return folder;
}

TEST_F(PictureTest, TheDialogOpensInTheFolderOfTheLastPhotoAlsoAfterARestart) {
    const QString trip = dir.filePath(QStringLiteral("写真/2026 旅行"));
    ASSERT_TRUE(QDir().mkpath(trip));
    const QString photo = trip + QStringLiteral("/富士山.jpg");
    ASSERT_TRUE(MakeQuarters(photo, 640, 480));
    Start();
    auto seen = WhenModal([&photo](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->selectFile(photo);
        static_cast<QDialog*>(dialog)->accept();
    });
    form->Button9Click();
    ASSERT_TRUE(*seen);
    ASSERT_EQ(form->OpenDialog1.FileName, photo);
    EXPECT_EQ(DialogStartFolder(*form), trip); // in this run

    // The program's own state file, UTF-8 with its mark; tamurika.ini is not touched.
    const QString state = dir.filePath(QStringLiteral("tamurika-state.ini"));
    EXPECT_EQ(testing_support::ReadBytes(state),
              "\xEF\xBB\xBF[picture]\r\nfolder=" + trip.toUtf8() + "\r\n");
    EXPECT_FALSE(QFile::exists(Ini()));

    // A new window, as after a restart: no photo, but the dialog starts where the last was.
    form = std::make_unique<TmainForm>(dir.path());
    Start();
    EXPECT_EQ(DialogStartFolder(*form), trip);
    EXPECT_EQ(form->OpenDialog1.FileName, QString()); // nothing loaded, nothing to print

    // A dropped photo counts as well; a folder that is gone gives way to its nearest parent.
    const QString other = dir.filePath(QStringLiteral("ﾃｽﾄ"));
    ASSERT_TRUE(QDir().mkpath(other));
    ASSERT_TRUE(MakeQuarters(other + QStringLiteral("/b.bmp"), 40, 30));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(other + QStringLiteral("/b.bmp"))});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &enter);
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &drop);
    EXPECT_EQ(form->OpenDialog1.FileName, other + QStringLiteral("/b.bmp"));
    EXPECT_EQ(testing_support::ReadBytes(state),
              "\xEF\xBB\xBF[picture]\r\nfolder=" + other.toUtf8() + "\r\n");
    ASSERT_TRUE(QDir(other).removeRecursively());
    form = std::make_unique<TmainForm>(dir.path());
    Start();
    EXPECT_EQ(DialogStartFolder(*form), dir.path());
}

TEST_F(PictureTest, AnUnwritableSettingsFolderLoadsThePhotoWithoutRememberingIt) {
    // The program's folder is not writable (it is not there), and the user's configuration
    // folder cannot be made (a file has its name): the settings folder cannot be written.
    const QString blocked = dir.filePath(QStringLiteral("config"));
    WriteBytes(blocked, "a file, not a folder");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocked));
    qputenv("HOME", QFile::encodeName(dir.path()));
    const QString program = dir.filePath(QStringLiteral("program"));
    const QString photo = dir.filePath(QStringLiteral("写真.jpg"));
    ASSERT_TRUE(MakeQuarters(photo, 1000, 500));
    form = std::make_unique<TmainForm>(program);
    Start();
    form->LoadPictureFile(photo); // no error
    EXPECT_EQ(form->Image1->geometry(), QRect(0, 28, 224, 112));
    EXPECT_EQ(form->OpenDialog1.FileName, photo);
    EXPECT_EQ(testing_support::ReadBytes(blocked), "a file, not a folder");
    EXPECT_FALSE(QFile::exists(program));

    // After a restart the dialog starts in the home folder (it has no pictures folder).
    form = std::make_unique<TmainForm>(program);
    Start();
    EXPECT_EQ(DialogStartFolder(*form), dir.path());
}

// "PDFに保存" of the main window writes the sheet of the window's calendar without the preview,
// with the photo as it was read: the file replaced since does not change the PDF.
TEST_F(PictureTest, SavingAPdfFromTheWindowWritesThePhotoAsItWasRead) {
    Start();
    form->Button5Click();
    const int year = ThisYear() + 1;
    // Fine enough to save without the coarse-print question (163 pixels per inch).
    const QString photo = MakePicture(1200, 600, "jpg");
    form->LoadPictureFile(photo);
    const QByteArray read = testing_support::ReadBytes(photo);
    ASSERT_TRUE(testing_support::Convert(
        {QStringLiteral("-size"), QStringLiteral("300x600"), QStringLiteral("xc:yellow"), photo}));
    EXPECT_EQ(form->MIpdf->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+S")));

    // Cancelled: nothing written, nothing said.
    QString title, suggested;
    auto seen = WhenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        suggested = QFileInfo(dialog->selectedFiles().value(0)).fileName();
        dialog->reject();
    });
    form->MIpdf->trigger();
    EXPECT_TRUE(*seen);
    EXPECT_EQ(title, QStringLiteral("PDFに保存"));
    EXPECT_EQ(suggested, QStringLiteral("カレンダー%1.pdf").arg(year));
    EXPECT_FALSE(form->StBar->Text().startsWith(QStringLiteral("PDF")));

    const QString pdf = dir.filePath(QStringLiteral("壁掛け.pdf"));
    seen = testing_support::ChooseInFileDialog(pdf);
    form->MIpdf->trigger();
    EXPECT_TRUE(*seen);
    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_EQ(form->StBar->Text(), QStringLiteral("PDFに保存しました: ") + pdf);
    const auto info = testing_support::PdfInfo(pdf);
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->Pages, 1);
    EXPECT_TRUE(testing_support::PdfText(pdf).contains(QStringLiteral("%1年").arg(year)));
    QTemporaryDir work;
    const std::vector<QByteArray> data = testing_support::PdfJpegData(pdf, work.path());
    ASSERT_EQ(data.size(), 1u);
    EXPECT_TRUE(data[0] == read); // the photo's own bytes, as they were read
}

// --- Fonts, colours and the changed flag ------------------------------------------------------

TEST_F(MainFormTest, FontDialogChangesOnlyFaceAndStyleAndSetsTheFlagWhenConfirmed) {
    Start();
    auto seen = WhenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    form->Button11Click();
    EXPECT_TRUE(*seen);
    EXPECT_FALSE(Document().SettingsChanged);

    seen = WhenModal([](QWidget* w) {
        auto* chooser = qobject_cast<TFontChooser*>(w);
        ASSERT_NE(chooser, nullptr);
        // Japanese-capable faces come first, after the faces the settings name.
        const QStringList faces = TFontChooser::FaceList();
        EXPECT_EQ(faces.first(), QStringLiteral("ＭＳ ゴシック"));
        const qsizetype ipa = faces.indexOf("IPAGothic");
        const qsizetype dejavu = faces.indexOf("DejaVu Sans");
        EXPECT_GT(ipa, 0);
        if (dejavu >= 0) {
            EXPECT_LT(ipa, dejavu);
        }
        chooser->SetFace(QStringLiteral("IPAMincho"));
        chooser->SetStyle(fsBold | fsItalic);
        chooser->accept();
    });
    form->Button10Click();
    EXPECT_TRUE(*seen);
    EXPECT_TRUE(Document().SettingsChanged);
    EXPECT_EQ(Model().Settings.Fonts[sfDay],
              (TSlotFont{QStringLiteral("IPAMincho"), fsBold | fsItalic}));
    // The other fonts stay, and the dialog opens again on the choice at the day's size.
    EXPECT_EQ(Model().Settings.Fonts[sfYear], TSlotFont{});
    const TFontShown day = OpenFontDialog(sfDay);
    EXPECT_EQ(day.Face, QStringLiteral("IPAMincho"));
    EXPECT_EQ(day.Style, fsBold | fsItalic);
    EXPECT_EQ(day.Size, QStringLiteral("8"));
    // The sample shows colours only: its own fonts stay.
    EXPECT_EQ(form->CalendarEx1->Fonts().Weekday().Name(), QStringLiteral("ＭＳ Ｐゴシック"));
}

TEST_F(MainFormTest, ColourCommandsRecolourTheSampleAndAlwaysSetTheFlag) {
    Start();
    auto seen = AnswerColor(std::nullopt);
    form->N6Click(); // cancelled, still a change
    EXPECT_TRUE(*seen);
    EXPECT_TRUE(Document().SettingsChanged);
    EXPECT_EQ(Model().Settings.Colors[scSunday], clRed);

    Document().SettingsChanged = false;
    seen = AnswerColor(QColor(0, 128, 0));
    form->N7Click();
    EXPECT_TRUE(*seen);
    EXPECT_TRUE(Document().SettingsChanged);
    EXPECT_EQ(Model().Settings.Colors[scSaturday], clGreen);
    EXPECT_EQ(form->CalendarEx1->SaturdayColor(), clGreen);
    EXPECT_EQ(form->Swatches[scSaturday]->Color(), clGreen);
    EXPECT_EQ(TextColor(form->lblY[6]), QColor(0, 128, 0));

    AnswerColor(QColor(0, 0, 255));
    form->Button22Click(); // header background
    AnswerColor(QColor(255, 0, 255));
    form->N13Click(); // lines
    AnswerColor(QColor(255, 255, 0));
    form->N12Click(); // day cells
    EXPECT_EQ(form->CalendarEx1->Color(), clYellow);

    // The overlaid day-of-week row and lines show the new colours in the sample.
    const QImage sample = form->Panel1->grab().toImage();
    EXPECT_EQ(sample.pixel(form->pnlYoubi->geometry().topLeft() + QPoint(3, 8)), qRgb(0, 0, 255));
    EXPECT_EQ(sample.pixel(form->t[3]->geometry().topLeft() + QPoint(0, 50)), qRgb(255, 0, 255));
    EXPECT_EQ(sample.pixel(form->y[4]->geometry().topLeft() + QPoint(100, 0)), qRgb(255, 0, 255));
    EXPECT_EQ(sample.pixel(form->t[0]->geometry().topLeft() + QPoint(5, 30)), qRgb(255, 255, 0));
}

TEST_F(MainFormTest, ResetAsksAndRestoresTheDefaultColours) {
    Start();
    for (int c = 0; c < SheetColorCount; ++c)
        Document().SetColor(TSheetColor(c), 0x123456);
    Document().SettingsChanged = false;

    QString question;
    auto seen = AnswerMessage(QMessageBox::No, &question);
    form->N16Click();
    EXPECT_TRUE(*seen);
    EXPECT_EQ(question, QStringLiteral("色の設定を初期値に戻しますか？"));
    EXPECT_FALSE(Document().SettingsChanged);
    EXPECT_EQ(Model().Settings.Colors[scLine], 0x123456);
    EXPECT_EQ(form->Swatches[scLine]->Color(), 0x123456);

    // The buttons read Japanese although no catalogue of Qt's is loaded here; Escape is "いいえ".
    QStringList buttons;
    QString defaultButton;
    seen = WhenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        for (QAbstractButton* b : box->buttons())
            buttons << b->text();
        defaultButton = box->defaultButton()->text();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(box, &escape);
    });
    form->N16Click();
    EXPECT_TRUE(*seen);
    buttons.sort();
    EXPECT_EQ(buttons, QStringList({QStringLiteral("いいえ"), QStringLiteral("はい")}));
    EXPECT_EQ(defaultButton, QStringLiteral("はい"));
    EXPECT_FALSE(Document().SettingsChanged);

    AnswerMessage(QMessageBox::Yes);
    form->N16Click();
    EXPECT_TRUE(Document().SettingsChanged);
    const TColor swatches[] = {clBlack, clBlack, clBlack, clRed, clBlue, clWhite, clWhite, clBlack};
    for (int c = 0; c < SheetColorCount; ++c)
        EXPECT_EQ(form->Swatches[c]->Color(), swatches[c]) << c;
    EXPECT_EQ(TextColor(form->lblY[0]), QColor(Qt::red));
    EXPECT_EQ(TextColor(form->lblY[6]), QColor(Qt::blue));
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(TextColor(form->lblY[i]), QColor(Qt::black)) << i;
    EXPECT_EQ(form->CalendarEx1->HolidayColor(), clRed);
    EXPECT_EQ(form->CalendarEx1->SundayColor(), clRed);
    EXPECT_EQ(form->CalendarEx1->Color(), clWhite);
    EXPECT_EQ(form->pnlYoubi->Color(), clWhite);
    EXPECT_EQ(form->y[7]->Color(), clBlack);
    EXPECT_EQ(Model().Settings.Colors, TSlotSettings().Colors);
}

TEST_F(MainFormTest, ClosingAsksOnlyAfterAChange) {
    Start();
    auto seen = AnswerMessage(QMessageBox::No);
    form->close();
    QApplication::processEvents();
    EXPECT_FALSE(*seen);
    testing_support::CancelPendingAnswers();
    EXPECT_FALSE(form->isVisible());

    form = std::make_unique<TmainForm>(dir.path());
    Start();
    form->Button5Click(); // the year is not a setting
    AnswerColor(std::nullopt);
    form->N4Click();
    QString question;
    seen = AnswerMessage(QMessageBox::No, &question);
    form->close();
    EXPECT_TRUE(*seen);
    EXPECT_EQ(question, QStringLiteral("設定が変更されています。保存しますか？"));
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(QFile::exists(Ini()));

    // "はい" offers the save dialog; a slot saved there, the window closes.
    form = std::make_unique<TmainForm>(dir.path());
    Start();
    Document().SettingsChanged = true;
    const auto saveSeen = AnswerYesThenInTheSaveDialog([](TFrmfontSave& dialog) {
        EXPECT_EQ(dialog.objectName(), "FrmfontSave");
        dialog.Button1->click();
    });
    form->close();
    EXPECT_TRUE(*saveSeen);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(testing_support::ReadBytes(Ini()).contains("[settei1]\r\n"));
    EXPECT_FALSE(Document().SettingsChanged);
}

// Closing with changed settings asks はい / いいえ / キャンセル. A save dialog cancelled after
// "はい", and "キャンセル" in the question, keep the window open with the settings unsaved.
TEST_F(MainFormTest, ClosingCanBeCancelledInTheQuestionAndInTheSaveDialog) {
    Start();
    AnswerColor(QColor(0, 128, 0));
    form->N7Click();
    ASSERT_TRUE(Document().SettingsChanged);

    // The question: three buttons in Japanese, "はい" the default, Escape "キャンセル".
    QStringList buttons;
    QString defaultButton;
    auto seen = WhenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        for (QAbstractButton* b : box->buttons())
            buttons << b->text();
        defaultButton = box->defaultButton()->text();
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(box, &escape);
    });
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(*seen);
    buttons.sort();
    EXPECT_EQ(buttons, QStringList({QStringLiteral("いいえ"), QStringLiteral("はい"),
                                    QStringLiteral("キャンセル")}));
    EXPECT_EQ(defaultButton, QStringLiteral("はい"));
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(Document().SettingsChanged);

    seen = AnswerMessage(QMessageBox::Cancel);
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(*seen);
    EXPECT_TRUE(form->isVisible());

    // "はい", then the save dialog cancelled: nothing saved, nothing written, the window open.
    const auto saveSeen =
        AnswerYesThenInTheSaveDialog([](TFrmfontSave& dialog) { dialog.Button2->click(); });
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(*saveSeen);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(QFile::exists(Ini()));
    EXPECT_TRUE(Document().SettingsChanged);
    EXPECT_EQ(Model().Settings.Colors[scSaturday], clGreen); // still there to be saved

    // "いいえ" closes without saving.
    seen = AnswerMessage(QMessageBox::No);
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(*seen);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(QFile::exists(Ini()));
}

// --- Window, hints, help, about ----------------------------------------------------------------

TEST_F(MainFormTest, ColourColumnToggle) {
    Start();
    form->SbtnKShowClick();
    EXPECT_EQ(form->SbtnKShow->text(), QStringLiteral("<<"));
    EXPECT_EQ(form->centralWidget()->width(), 697);
    EXPECT_EQ(form->StBar->width(), 697);
    EXPECT_TRUE(form->MIkaku->menuAction()->isVisible());
    EXPECT_LE(form->GroupBox3->geometry().right(), 697);
    form->SbtnKShowClick();
    EXPECT_EQ(form->SbtnKShow->text(), QStringLiteral(">>"));
    EXPECT_EQ(form->centralWidget()->width(), 475);
    EXPECT_FALSE(form->MIkaku->menuAction()->isVisible());
    EXPECT_GE(form->GroupBox3->geometry().left(), 475);
}

TEST_F(MainFormTest, StatusBarHints) {
    Start();
    Document().SetFont(sfMonth, {QStringLiteral("IPAPGothic"), 0});
    MoveMouseOver(form->Button11);
    EXPECT_EQ(form->StBar->Text(), QStringLiteral("選択されているフォント：ＭＳ ゴシック"));
    MoveMouseOver(form->Button3);
    EXPECT_EQ(form->StBar->Panel(0).Text, QStringLiteral("選択されているフォント：IPAPGothic"));
    MoveMouseOver(form->Button9);
    EXPECT_EQ(form->StBar->Text(), QStringLiteral("画像ファイル："));
    MoveMouseOver(form->GroupBox2, QPoint(3, 100)); // the background
    EXPECT_EQ(form->StBar->Text(), QString());
    EXPECT_EQ(form->Button11->toolTip(), QStringLiteral("フォントを選択します"));
    EXPECT_EQ(form->Button2->toolTip(), QStringLiteral("印刷する月を選択します"));
}

TEST_F(MainFormTest, HelpOpensThePageBesideTheProgramOrSaysItIsMissing) {
    Start();
    QList<QUrl> opened;
    form->OpenUrl = [&opened](const QUrl& url) {
        opened << url;
        return true;
    };
    QString message;
    auto seen = AnswerMessage(QMessageBox::Ok, &message);
    form->N1Click();
    EXPECT_TRUE(*seen);
    EXPECT_TRUE(message.contains(dir.filePath("tamurika.html"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("見つかりません")));
    EXPECT_TRUE(opened.isEmpty());

    WriteBytes(dir.filePath("tamurika.html"), "<html></html>");
    form->N1Click();
    EXPECT_EQ(opened, QList<QUrl>{QUrl::fromLocalFile(dir.filePath("tamurika.html"))});
}

TEST_F(MainFormTest, AboutBox) {
    Start();
    QString title;
    auto seen = WhenModal([&title](QWidget* w) {
        EXPECT_NE(qobject_cast<TverForm*>(w), nullptr);
        title = w->windowTitle();
        qobject_cast<QDialog*>(w)->accept();
    });
    form->A1Click();
    EXPECT_TRUE(*seen);
    EXPECT_EQ(title, QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
}

} // namespace
