// The calendar document without a window: every kind of change is one step of the history,
// named for the user, that undo and redo retrace exactly; the runs of a drag and of the wheel;
// what the program's files hold after a change, its undo and its redo; the changed flag of the
// settings slots; saving a slot; and folders and files that cannot be written.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include "app/qtprint.h"
#include "common/files.h"
#include "common/imagemagick.h"
#include "common/modelprint.h"
#include "days/daysfile.h"
#include "model/calendardocument.h"
#include "model/framingmemory.h"
#include "model/picturefolder.h"
#include "settings/inifile.h"

namespace {

using namespace Qt::StringLiterals;
using testing_support::ReadBytes;
using testing_support::WriteBytes;
using Parts = std::vector<TModelParts>;

// Shift-JIS spelled out by hand (code page 932).
const QByteArray SjisNengayou("\x94\x4E\x89\xEA\x97\x70"); // 年賀用
const QByteArray
    SjisMsGothic("\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E"); // ＭＳ ゴシック

TPictureFraming Filling(double x, double y, double zoom) {
    return {TFrameMode::Fill, x, y, zoom};
}

// Runs the event loop until `done` holds or ten seconds have passed; whether it holds.
bool EventsUntil(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(10000);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return done();
}

// An environment variable set for a while, as it was afterwards.
class TEnvironment {
  public:
    TEnvironment(const char* name, const QString& value)
        : FName(name), FHad(qEnvironmentVariableIsSet(name)), FOld(qgetenv(name)) {
        qputenv(name, QFile::encodeName(value));
    }
    ~TEnvironment() {
        if (FHad)
            qputenv(FName, FOld);
        else
            qunsetenv(FName);
    }
    TEnvironment(const TEnvironment&) = delete;
    TEnvironment& operator=(const TEnvironment&) = delete;

  private:
    const char* FName;
    bool FHad;
    QByteArray FOld;
};

// A document of a program in a folder of its own, and what it tells its views.
class DocumentTest : public ::testing::Test {
  protected:
    void SetUp() override { Reset(); }

    /// A new program folder and a document opened on it.
    void Reset() {
        doc.reset();
        dir = std::make_unique<QTemporaryDir>();
        Reopen();
    }
    /// A new document on the same folder, as the next run of the program has it.
    void Reopen() { Open(dir->path()); }
    /// A document opened on the program folder `appPath`.
    void Open(const QString& appPath) {
        doc = std::make_unique<TCalendarDocument>(appPath);
        QObject::connect(doc.get(), &TCalendarDocument::Changed,
                         [this](TModelParts parts) { changes.push_back(parts); });
        QObject::connect(doc.get(), &TCalendarDocument::Notice,
                         [this](const QString& message) { notices << message; });
        doc->Open();
        changes.clear();
    }
    QString File(const QString& name) const { return dir->filePath(name); }
    /// A photo written by ImageMagick beside the program.
    QString MakePhoto(const QString& name, int w, int h) {
        const QString path = File(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        EXPECT_TRUE(testing_support::MakeQuarters(path, w, h)) << path.toStdString();
        return path;
    }
    const TCalendarModel& Model() const { return doc->Model(); }
    QUndoStack& History() { return doc->UndoStack(); }
    /// The part of the photo the state file remembers, once the events waiting have run: the
    /// document writes it after the window has had the chance to show a step.
    std::optional<TPictureFraming> Remembered(const TSheetPhoto& photo) const {
        QCoreApplication::processEvents();
        return TFramingMemory(doc->AppPath).Recall(photo.FileName, photo.Size());
    }
    /// A drag through `moves`, one step.
    void Drag(std::initializer_list<TPictureFraming> moves) {
        doc->BeginFramingRun();
        for (const TPictureFraming& f : moves)
            doc->SetFraming(f);
        doc->EndFramingRun();
    }

    std::unique_ptr<QTemporaryDir> dir; // the program's folder
    std::unique_ptr<TCalendarDocument> doc;
    Parts changes;
    QStringList notices;
};

// --- Every kind of change ----------------------------------------------------------------------

struct TStepCase {
    const char* What;
    QString Text; // the step's name in the menu
    TModelParts Parts;
    bool MarksOnChange;  // the change marks the settings changed
    bool MarksOnHistory; // its undo and its redo do
    std::function<void()> Prepare;
    std::function<void()> Act;
};

TEST_F(DocumentTest, EveryChangeIsOneNamedStepThatUndoAndRedoRetraceExactly) {
    QTemporaryDir photos;
    ASSERT_TRUE(testing_support::MakeQuarters(photos.filePath("a.jpg"), 1500, 1000));
    const TSheetPhoto photo = ReadSheetPhoto(photos.filePath("a.jpg"));
    const auto fill = [this] { doc->SetFrameMode(TFrameMode::Fill); };

    std::vector<TStepCase> cases = {
        {"year", u"印刷する年"_s, mpYear, false, false, {}, [&] { doc->SetYear(2031); }},
        {"photo", u"画像の読み込み"_s, mpPhoto, false, false, {}, [&] { doc->SetPhoto(photo); }},
        {"fill", u"枠いっぱい"_s, mpFraming, false, false, {}, fill},
        {"fit", u"枠に合わせる"_s, mpFraming, false, false, fill,
         [&] { doc->SetFrameMode(TFrameMode::Fit); }},
        {"centre", u"中央に戻す"_s, mpFraming, false, false,
         [&] {
             doc->SetPhoto(photo);
             fill();
             Drag({Filling(0.2, 0.7, 2)});
         },
         [&] { doc->CentreFraming(); }},
        {"title style",
         u"年月の表示"_s,
         mpTitleStyle,
         true,
         true,
         {},
         [&] { doc->SetTitleStyle(5); }},
        {"reset", u"色を初期値に戻す"_s, mpColors, true, true,
         [&] {
             doc->SetColor(scLine, 0x123456);
             doc->SetColor(scSunday, clGreen);
         },
         [&] { doc->ResetColors(); }},
        {"slot", u"設定の読み込み"_s, SlotParts, false, true,
         [&] {
             WriteBytes(File("tamurika.ini"), "[settei2]\r\nfont1=IPAMincho\r\nfs11=1\r\n"
                                              "Nichicolor=32768\r\nzenkaiym=3\r\n");
         },
         [&] { doc->LoadSlot(2); }},
        {"paper", u"用紙"_s, mpPaper, false, false, {}, [&] { doc->SetPaper(psB5); }},
        {"position", u"左右の位置"_s, mpPosition, false, false, {}, [&] { doc->SetPosition(-4); }},
        {"koyomi",
         u"暦の表示"_s,
         mpKoyomi,
         false,
         false,
         {},
         [&] {
             TKoyomiOptions o;
             o.Rokuyo = o.Taian = true;
             o.Kyureki = TKyurekiMode::FirstDay;
             doc->SetKoyomiOptions(o);
         }},
        {"family days",
         u"記念日"_s,
         mpFamilyDays,
         false,
         false,
         {},
         [&] { doc->SetFamilyDays(ParseDaysFile("5/5 太郎 誕生日 2015年\n").Days); }},
        {"start month",
         u"始まりの月"_s,
         mpStartMonth,
         false,
         false,
         {},
         [&] { doc->SetStartMonth(4); }},
        {"week start",
         u"週の始まり"_s,
         mpWeekStart,
         false,
         false,
         {},
         [&] { doc->SetWeekStart(TWeekStart::Monday); }},
        {"own title",
         u"題名"_s,
         mpOwnTitle,
         false,
         false,
         {},
         [&] {
             doc->SetOwnTitle(
                 {u"髙橋家 2027"_s, {u"IPAMincho"_s, fsItalic}, TOwnTitlePlace::Replace});
         }},
        {"shape",
         u"始まりと題名"_s,
         mpStartMonth | mpWeekStart | mpOwnTitle,
         false,
         false,
         {},
         [&] {
             doc->SetShape({4, TWeekStart::Monday, {u"山田家"_s, {}, TOwnTitlePlace::Above}});
         }},
        {"shape, its month alone",
         u"始まりの月"_s,
         mpStartMonth,
         false,
         false,
         {},
         [&] {
             TSheetShape shape = Model().Shape;
             shape.StartMonth = 9;
             doc->SetShape(shape);
         }},
        {"shape, two parts",
         u"始まりと題名"_s,
         mpWeekStart | mpOwnTitle,
         false,
         false,
         {},
         [&] {
             TSheetShape shape = Model().Shape;
             shape.WeekStart = TWeekStart::Monday;
             shape.Title.Place = TOwnTitlePlace::Replace;
             doc->SetShape(shape);
         }},
    };
    const char16_t* const fontSteps[] = {u"年のフォント", u"月のフォント", u"日のフォント",
                                         u"曜日のフォント"};
    for (int k = 0; k < SheetFontCount; ++k)
        cases.push_back({"font", QString::fromUtf16(fontSteps[k]), mpFonts, true, true, {}, [&, k] {
                             doc->SetFont(TSheetFont(k), {u"IPAMincho"_s, fsBold});
                         }});
    const char16_t* const colorSteps[] = {u"年のフォントの色",     u"月のフォントの色",
                                          u"平日のフォントの色",   u"日曜日、休日のフォントの色",
                                          u"土曜日のフォントの色", u"日付の背景の色",
                                          u"曜日の背景の色",       u"線の色"};
    for (int c = 0; c < SheetColorCount; ++c)
        cases.push_back(
            {"colour", QString::fromUtf16(colorSteps[c]), mpColors, true, true, {}, [&, c] {
                 doc->SetColor(TSheetColor(c), 0x00A0B0C0 + c);
             }});

    for (const TStepCase& row : cases) {
        SCOPED_TRACE(row.Text.toStdString() + " (" + row.What + ")");
        Reset();
        if (row.Prepare)
            row.Prepare();
        const TCalendarModel before = Model();
        const int steps = History().count();
        changes.clear();
        doc->SettingsChanged = false;

        row.Act();
        const TCalendarModel after = Model();
        EXPECT_EQ(History().count(), steps + 1);
        EXPECT_EQ(History().undoText(), row.Text);
        EXPECT_EQ(Differences(before, after), row.Parts);
        EXPECT_EQ(changes, Parts{row.Parts});
        EXPECT_EQ(doc->SettingsChanged, row.MarksOnChange);

        changes.clear();
        doc->SettingsChanged = false;
        doc->Undo();
        EXPECT_EQ(Model(), before);
        EXPECT_EQ(changes, Parts{row.Parts});
        EXPECT_EQ(doc->SettingsChanged, row.MarksOnHistory);
        EXPECT_EQ(History().index(), steps);
        EXPECT_EQ(History().redoText(), row.Text);

        changes.clear();
        doc->SettingsChanged = false;
        doc->Redo();
        EXPECT_EQ(Model(), after);
        EXPECT_EQ(changes, Parts{row.Parts});
        EXPECT_EQ(doc->SettingsChanged, row.MarksOnHistory);

        // Asked for what it already is, the model makes no step and tells no view.
        changes.clear();
        row.Act();
        EXPECT_EQ(History().count(), steps + 1);
        EXPECT_EQ(History().index(), steps + 1);
        EXPECT_EQ(Model(), after);
        EXPECT_TRUE(changes.empty());
        EXPECT_TRUE(notices.isEmpty()) << notices.join(u'\n').toStdString();
    }
}

TEST_F(DocumentTest, TheShapeIsKeptAsTheSheetCanPrintItAndTheStateFileFollowsHistory) {
    // A month outside the year and a title of several lines, as a caller might give them.
    doc->SetShape(
        {13, TWeekStart::Monday, {u"  山田家\nの\tカレンダー "_s, {}, TOwnTitlePlace::Replace}});
    EXPECT_EQ(Model().Shape.StartMonth, 12);
    EXPECT_EQ(Model().Shape.Title.Text, u"山田家 の カレンダー"_s);
    EXPECT_EQ(ReadSheetShape(doc->AppPath), Model().Shape);
    const TSheetShape first = Model().Shape;
    doc->SetShape({0, TWeekStart::Sunday, {QString(100, u'題'), {}, TOwnTitlePlace::Above}});
    EXPECT_EQ(Model().Shape.StartMonth, 1);
    EXPECT_EQ(Model().Shape.Title.Text, QString(OwnTitleMaxLength, u'題'));
    EXPECT_EQ(ReadSheetShape(doc->AppPath), Model().Shape);
    doc->Undo();
    EXPECT_EQ(ReadSheetShape(doc->AppPath), first);
    doc->Undo();
    EXPECT_EQ(ReadSheetShape(doc->AppPath), TSheetShape());
    // The next run starts with the shape done again last.
    doc->Redo();
    Reopen();
    EXPECT_EQ(Model().Shape, first);
    EXPECT_TRUE(notices.isEmpty()) << notices.join(u'\n').toStdString();
}

TEST_F(DocumentTest, TheHistoryKeepsTheLastHundredSteps) {
    const int start = Model().Year;
    for (int i = 1; i <= 105; ++i)
        doc->SetYear(start + i);
    EXPECT_EQ(History().count(), 100);
    int undone = 0;
    while (History().canUndo()) {
        doc->Undo();
        ++undone;
    }
    EXPECT_EQ(undone, 100);
    EXPECT_EQ(Model().Year, start + 5); // the five oldest steps gave way
    doc->Undo();                        // nothing left: nothing happens
    EXPECT_EQ(Model().Year, start + 5);
}

// --- Framing runs ------------------------------------------------------------------------------

TEST_F(DocumentTest, ADragIsOneStepAndADragBackToItsStartIsNone) {
    const TSheetPhoto photo = ReadSheetPhoto(MakePhoto("a.jpg", 1500, 1000));
    doc->SetPhoto(photo);
    doc->SetFrameMode(TFrameMode::Fill);
    const TCalendarModel start = Model();
    const int steps = History().count();
    changes.clear();

    doc->BeginFramingRun();
    doc->SetFraming(Filling(0.4, 0.5, 1));
    doc->SetFraming(Filling(0.3, 0.5, 1));
    doc->SetFraming(Filling(0.25, 0.45, 1));
    // Nothing is written while the mouse moves; the part is kept when the drag ends.
    EXPECT_EQ(Remembered(photo), Filling(0.5, 0.5, 1));
    doc->EndFramingRun();
    EXPECT_EQ(Remembered(photo), Filling(0.25, 0.45, 1));
    EXPECT_EQ(History().count(), steps + 1);
    EXPECT_EQ(History().undoText(), u"写真の位置と大きさ"_s);
    EXPECT_EQ(changes, (Parts{mpFraming, mpFraming, mpFraming}));
    const TCalendarModel first = Model();

    Drag({Filling(0.7, 0.6, 1), Filling(0.75, 0.6, 1.5)});
    const TCalendarModel second = Model();
    EXPECT_EQ(History().count(), steps + 2);

    // Undone, the state file remembers the part shown again.
    doc->Undo();
    EXPECT_EQ(Model(), first);
    EXPECT_EQ(Remembered(photo), Filling(0.25, 0.45, 1));
    doc->Undo();
    EXPECT_EQ(Model(), start);
    EXPECT_EQ(Remembered(photo), Filling(0.5, 0.5, 1));
    doc->Redo();
    doc->Redo();
    EXPECT_EQ(Model(), second);
    EXPECT_EQ(Remembered(photo), Filling(0.75, 0.6, 1.5));

    // A drag that ends where it began leaves no step, and the steps before it stay.
    changes.clear();
    Drag({Filling(0.2, 0.2, 1.5), Filling(0.1, 0.2, 1.5), second.Framing});
    EXPECT_EQ(Model(), second);
    EXPECT_EQ(History().count(), steps + 2);
    EXPECT_EQ(History().index(), steps + 2);
    EXPECT_EQ(changes.size(), 3u); // the sample followed the mouse all the same
    // A click without a move is none either.
    Drag({second.Framing});
    EXPECT_EQ(History().count(), steps + 2);
    doc->Undo();
    EXPECT_EQ(Model(), first);
    EXPECT_TRUE(notices.isEmpty());
}

TEST_F(DocumentTest, WheelStepsMakeOneStepUntilTheWheelRests) {
    const TSheetPhoto photo = ReadSheetPhoto(MakePhoto("a.jpg", 1500, 1000));
    doc->SetPhoto(photo);
    doc->SetFrameMode(TFrameMode::Fill);
    const TCalendarModel start = Model();
    const int steps = History().count();

    doc->SetFraming(Filling(0.5, 0.5, 1.25));
    doc->SetFraming(Filling(0.45, 0.5, 1.5));
    doc->SetFraming(Filling(0.4, 0.5, 2));
    EXPECT_EQ(History().count(), steps + 1);
    EXPECT_EQ(History().undoText(), u"写真の位置と大きさ"_s);
    // Once the wheel has rested the run is over, and its part is kept.
    EXPECT_TRUE(EventsUntil([&] { return Remembered(photo) == Filling(0.4, 0.5, 2); }));
    const TCalendarModel firstRun = Model();

    doc->SetFraming(Filling(0.4, 0.5, 3));
    EXPECT_EQ(History().count(), steps + 2);
    doc->Undo();
    EXPECT_EQ(Model(), firstRun);
    EXPECT_EQ(Remembered(photo), Filling(0.4, 0.5, 2));
    doc->Undo();
    EXPECT_EQ(Model(), start);

    // Undo in the middle of a run ends it: the next wheel step is a step of its own.
    doc->SetFraming(Filling(0.5, 0.5, 1.5));
    doc->SetFraming(Filling(0.5, 0.5, 1.8));
    doc->Undo();
    EXPECT_EQ(Model(), start);
    doc->SetFraming(Filling(0.5, 0.5, 1.2));
    EXPECT_EQ(History().index(), steps + 1);
    doc->Undo();
    EXPECT_EQ(Model(), start);

    // A run under way when another photo comes is kept for the photo it framed.
    doc->SetFraming(Filling(0.6, 0.5, 1.7));
    doc->SetPhoto(ReadSheetPhoto(MakePhoto("b.jpg", 900, 1200)));
    EXPECT_EQ(Remembered(photo), Filling(0.6, 0.5, 1.7));
    EXPECT_EQ(Model().Framing, Filling(0.5, 0.5, 1));
    EXPECT_TRUE(notices.isEmpty());
}

// --- Photos ------------------------------------------------------------------------------------

TEST_F(DocumentTest, UndoingAPhotoGivesBackThePhotoAsItWasReadAndFramed) {
    const QString first = MakePhoto("a.jpg", 1500, 1000);
    const QString second = MakePhoto(u"写真/旅行.jpg"_s, 900, 1200);
    const TSheetPhoto a = ReadSheetPhoto(first);
    doc->SetPhoto(a);
    doc->SetFrameMode(TFrameMode::Fill);
    Drag({Filling(0.3, 0.4, 1.5)});
    const TCalendarModel framedA = Model();

    const TSheetPhoto b = ReadSheetPhoto(second);
    changes.clear();
    doc->SetPhoto(b);
    EXPECT_EQ(Model().Photo.FileName, second);
    EXPECT_EQ(Model().Framing, Filling(0.5, 0.5, 1)); // never framed: centred, still filling
    EXPECT_EQ(changes, Parts{mpPhoto | mpFraming});
    EXPECT_EQ(RememberedPictureFolder(doc->AppPath), QFileInfo(second).absolutePath());

    doc->Undo();
    // The very photo read then, not the file read again.
    EXPECT_EQ(Model().Photo.Picture.get(), a.Picture.get());
    EXPECT_EQ(Model(), framedA);
    doc->Redo();
    EXPECT_EQ(Model().Photo.Picture.get(), b.Picture.get());

    // Read again, the first photo shows as it was left.
    doc->SetPhoto(ReadSheetPhoto(first));
    EXPECT_EQ(Model().Framing, Filling(0.3, 0.4, 1.5));
    EXPECT_NE(Model().Photo.Picture.get(), a.Picture.get());
    EXPECT_EQ(History().undoText(), u"画像の読み込み"_s);
}

// A photo found unreadable only after it was loaded (its pixels decoded on a thread of their
// own) is taken out again: undone for good when it was the last step, replaced by the photo
// before it, framed as it was, when steps followed.
TEST_F(DocumentTest, APhotoWithdrawnLeavesTheCalendarAsItWasBeforeIt) {
    const TSheetPhoto a = ReadSheetPhoto(MakePhoto("a.jpg", 1500, 1000));
    doc->SetPhoto(a);
    doc->SetFrameMode(TFrameMode::Fill);
    Drag({Filling(0.3, 0.4, 1.5)});
    const TCalendarModel framedA = Model();
    const int steps = History().count();
    const TSheetPhoto bad = ReadSheetPhoto(MakePhoto("b.jpg", 900, 1200));

    doc->SetPhoto(bad);
    doc->WithdrawPhoto(bad);
    EXPECT_EQ(Model(), framedA);
    EXPECT_EQ(History().count(), steps);
    EXPECT_FALSE(History().canRedo());

    doc->SetPhoto(bad);
    doc->SetYear(Model().Year + 1);
    doc->WithdrawPhoto(bad);
    EXPECT_EQ(Model().Photo.Picture.get(), a.Picture.get());
    EXPECT_EQ(Model().Framing, framedA.Framing);
    EXPECT_EQ(Model().Year, framedA.Year + 1);
    EXPECT_EQ(History().undoText(), u"画像の取り消し"_s);
    EXPECT_EQ(History().count(), steps + 3);

    // A photo the calendar does not hold (any more) changes nothing.
    changes.clear();
    doc->WithdrawPhoto(bad);
    doc->WithdrawPhoto(TSheetPhoto{});
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(History().count(), steps + 3);
}

TEST_F(DocumentTest, TheFrameModeKeptForTheNextRunFollowsUndoAndRedo) {
    doc->SetFrameMode(TFrameMode::Fill);
    EXPECT_EQ(TFramingMemory(doc->AppPath).Mode(), TFrameMode::Fill);
    doc->Undo();
    EXPECT_EQ(TFramingMemory(doc->AppPath).Mode(), TFrameMode::Fit);
    Reopen();
    EXPECT_EQ(Model().Framing.Mode, TFrameMode::Fit);
    doc->SetFrameMode(TFrameMode::Fill);
    doc->Undo();
    doc->Redo();
    Reopen();
    EXPECT_EQ(Model().Framing.Mode, TFrameMode::Fill);
    // Chosen again while it holds, the mode is kept again.
    ASSERT_TRUE(QFile::remove(File(u"tamurika-state.ini"_s)));
    doc->SetFrameMode(TFrameMode::Fill);
    EXPECT_EQ(History().count(), 0);
    EXPECT_EQ(TFramingMemory(doc->AppPath).Mode(), TFrameMode::Fill);
}

// --- Paper and position ------------------------------------------------------------------------

TEST_F(DocumentTest, ThePaperAndPositionFilesFollowUndoAndRedo) {
    // senoruta.ini as the first version wrote it.
    const QByteArray old = "[senoruta]\r\nLRichi=-3\r\n";
    const QString senoruta = File(u"senoruta.ini"_s);
    const QString state = File(u"tamurika-state.ini"_s);
    WriteBytes(senoruta, old);
    Reopen();
    EXPECT_EQ(Model().Position, -3);

    doc->SetPosition(6);
    EXPECT_EQ(ReadBytes(senoruta), "[senoruta]\r\nLRichi=6\r\n");
    doc->Undo();
    EXPECT_EQ(ReadBytes(senoruta), old);
    doc->Redo();
    EXPECT_EQ(ReadBytes(senoruta), "[senoruta]\r\nLRichi=6\r\n");
    doc->SetPosition(25); // as far as the sheet may go
    EXPECT_EQ(Model().Position, 10);
    EXPECT_EQ(ReadBytes(senoruta), "[senoruta]\r\nLRichi=10\r\n");

    doc->SetPaper(psB5);
    EXPECT_EQ(ReadBytes(state), "\xEF\xBB\xBF[paper]\r\nsize=B5\r\n");
    doc->Undo();
    EXPECT_EQ(ReadBytes(state), "\xEF\xBB\xBF[paper]\r\nsize=A4\r\n");
    EXPECT_EQ(ReadBytes(senoruta), "[senoruta]\r\nLRichi=10\r\n");
    doc->Redo();
    EXPECT_EQ(ReadBytes(state), "\xEF\xBB\xBF[paper]\r\nsize=B5\r\n");

    // The next run starts with them.
    Reopen();
    EXPECT_EQ(Model().Paper, psB5);
    EXPECT_EQ(Model().Position, 10);
    // Applied again as it is, nothing is a step, but the choice is kept again.
    ASSERT_TRUE(QFile::remove(senoruta));
    ASSERT_TRUE(QFile::remove(state));
    doc->SetPosition(10);
    doc->SetPaper(psB5);
    EXPECT_EQ(History().count(), 0);
    EXPECT_EQ(ReadBytes(senoruta), "[senoruta]\r\nLRichi=10\r\n");
    EXPECT_EQ(ReadBytes(state), "\xEF\xBB\xBF[paper]\r\nsize=B5\r\n");
    EXPECT_FALSE(QFile::exists(File(u"tamurika.ini"_s)));
}

TEST_F(DocumentTest, TheDaysFileFollowsUndoAndRedoAndKeepsAPersonsComments) {
    const QString days = File(u"tamurika-days.txt"_s);
    // Written by a person: comments, odd spacing, a line the program cannot read.
    const QByteArray own = "# うちの日\n  6/10   結婚  記念日 2017\n5/5 太郎\n二月三十日 だめ\n";
    WriteBytes(days, own);
    Reopen();
    ASSERT_EQ(Model().FamilyDays.Days.size(), 2u);
    ASSERT_EQ(Model().FamilyDays.Problems.size(), 1u);
    EXPECT_EQ(Model().FamilyDays.Problems[0].Line, 4);

    std::vector<TFamilyDay> list = Model().FamilyDays.Days;
    list.push_back(ParseDaysFile("2027/3/14 引っ越し\n").Days.front());
    doc->SetFamilyDays(list);
    EXPECT_EQ(History().undoText(), u"記念日"_s);
    const QByteArray added = "# うちの日\n2027/3/14\t引っ越し\n5/5\t太郎\n"
                             "6/10\t結婚\t記念日\t2017年\n二月三十日 だめ\n";
    EXPECT_EQ(ReadBytes(days), added);
    doc->Undo();
    // The person's lines come back as the program writes them, the one it could not read as
    // it stood; the days are the same.
    EXPECT_EQ(ParseDaysFile(ReadBytes(days)).Days, ParseDaysFile(own).Days);
    EXPECT_TRUE(ReadBytes(days).contains("二月三十日 だめ\n"));
    doc->Redo();
    EXPECT_EQ(ReadBytes(days), added);
    Reopen();
    EXPECT_EQ(Model().FamilyDays.Days.size(), 3u);
    EXPECT_TRUE(notices.isEmpty()) << notices.join(u'\n').toStdString();
}

TEST_F(DocumentTest, ALineThePersonWroteIsKeptWhenTheDayAfterItGoes) {
    // A line the program cannot read travels with the day below it; removing that day, or all
    // of them, must not take the person's line with it.
    const QString days = File(u"tamurika-days.txt"_s);
    WriteBytes(days, "5/5 太郎\n# 花子のこと\n二月三十日 だめ\n6/10 花子\n7/7 七夕\n");
    Reopen();
    ASSERT_EQ(Model().FamilyDays.Problems.size(), 1u);
    std::vector<TFamilyDay> list = Model().FamilyDays.Days;
    list.erase(list.begin() + 1); // 花子, with her comment and the unread line above her
    doc->SetFamilyDays(list);
    EXPECT_EQ(ReadBytes(days), "5/5\t太郎\n7/7\t七夕\n二月三十日 だめ\n");
    doc->SetFamilyDays({});
    EXPECT_EQ(ReadBytes(days), "二月三十日 だめ\n");
    doc->Undo();
    doc->Undo();
    EXPECT_TRUE(ReadBytes(days).contains("# 花子のこと\n二月三十日 だめ\n6/10\t花子\n"));
}

TEST_F(DocumentTest, TheSheetsShapeIsKeptInTheStateFileAndReadByTheNextRun) {
    const QString state = File(u"tamurika-state.ini"_s);
    doc->SetStartMonth(4);
    doc->SetWeekStart(TWeekStart::Monday);
    // Line breaks become blanks: the title is one line of the sheet.
    doc->SetOwnTitle(
        {u"  髙橋家\n2027 "_s, {u"IPAMincho"_s, fsBold | fsItalic}, TOwnTitlePlace::Replace});
    EXPECT_EQ(Model().Shape.Title.Text, u"髙橋家 2027"_s);
    EXPECT_EQ(ReadBytes(state), "\xEF\xBB\xBF[sheet]\r\nstartmonth=4\r\nweekstart=monday\r\n"
                                "title=髙橋家 2027\r\ntitleface=IPAMincho\r\ntitlebold=1\r\n"
                                "titleitalic=1\r\ntitleplace=replace\r\n");
    const TSheetShape shape = Model().Shape;
    Reopen();
    EXPECT_EQ(Model().Shape, shape);
    EXPECT_EQ(Model().YearTitle(), u"%1年4月〜%2年3月"_s.arg(Model().Year).arg(Model().Year + 1));
    // Undone to where it began, the file says so too.
    doc->SetStartMonth(13);
    EXPECT_EQ(Model().Shape.StartMonth, 12);
    doc->Undo();
    EXPECT_TRUE(ReadBytes(state).contains("startmonth=4\r\n"));
}

TEST_F(DocumentTest, AStateFileEditedByHandGivesEachBadValueItsDefault) {
    WriteBytes(File(u"tamurika-state.ini"_s),
               "[sheet]\nstartmonth=13\nweekstart=Monday\ntitle=うちのカレンダー\n"
               "titleface=\ntitlebold=maybe\ntitleitalic=true\ntitleplace=below\n");
    Reopen();
    const TSheetShape& shape = Model().Shape;
    EXPECT_EQ(shape.StartMonth, 1);
    EXPECT_EQ(shape.WeekStart, TWeekStart::Monday);
    EXPECT_EQ(shape.Title.Text, u"うちのカレンダー"_s);
    EXPECT_EQ(shape.Title.Font.Name, TOwnTitle().Font.Name);
    EXPECT_EQ(shape.Title.Font.Style, fsBold | fsItalic); // bold by default, italic as written
    EXPECT_EQ(shape.Title.Place, TOwnTitlePlace::Above);
}

TEST_F(DocumentTest, ADaysFileThatCannotBeReadIsNeverWrittenOver) {
    const QString days = File(u"tamurika-days.txt"_s);
    const QByteArray latin1 = "5/5 Ren\xe9\n"; // not UTF-8: some other editor's encoding
    WriteBytes(days, latin1);
    Reopen();
    EXPECT_TRUE(Model().FamilyDays.Unreadable);
    ASSERT_EQ(Model().FamilyDays.Problems.size(), 1u);
    EXPECT_TRUE(Model().FamilyDays.Problems[0].Message.contains(u"UTF-8"_s));
    doc->SetFamilyDays(ParseDaysFile("5/5 太郎\n").Days);
    EXPECT_EQ(ReadBytes(days), latin1);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].contains(days));
}

TEST_F(DocumentTest, AFolderThatCannotBeWrittenRaisesForTheChangeAndTellsForItsUndo) {
    // The program's folder is not there, and the user's configuration folder cannot be made
    // (a file has its name): no settings file can be written.
    const QString blocked = File(u"config"_s);
    WriteBytes(blocked, "a file, not a folder");
    const TEnvironment config("XDG_CONFIG_HOME", blocked);
    Open(File(u"program"_s));
    const QString senoruta = blocked + u"/tamurika/senoruta.ini に書き込めません"_s;
    const QString state = blocked + u"/tamurika/tamurika-state.ini に書き込めません"_s;

    const auto failure = [](const std::function<void()>& operation) {
        try {
            operation();
        } catch (const EIniFileException& error) {
            return error.Message();
        }
        return u"(nothing raised)"_s;
    };
    // The change is made and shown; the exception says why it is not kept.
    EXPECT_EQ(failure([&] { doc->SetPosition(5); }), senoruta);
    EXPECT_EQ(Model().Position, 5);
    EXPECT_EQ(changes, Parts{mpPosition});
    EXPECT_EQ(History().undoText(), u"左右の位置"_s);
    EXPECT_EQ(failure([&] { doc->SetPaper(psA3); }), state);
    EXPECT_EQ(Model().Paper, psA3);
    EXPECT_TRUE(notices.isEmpty());

    // Undo and redo are no commands of the user that could fail: they tell.
    EXPECT_NO_THROW(doc->Undo());
    EXPECT_EQ(Model().Paper, psA4);
    EXPECT_NO_THROW(doc->Undo());
    EXPECT_EQ(Model().Position, 0);
    EXPECT_NO_THROW(doc->Redo());
    EXPECT_EQ(notices, (QStringList{state, senoruta, senoruta}));

    // Neither is the frame mode, which is only remembered.
    notices.clear();
    EXPECT_NO_THROW(doc->SetFrameMode(TFrameMode::Fill));
    EXPECT_EQ(Model().Framing.Mode, TFrameMode::Fill);
    EXPECT_FALSE(notices.isEmpty());
    for (const QString& notice : notices)
        EXPECT_EQ(notice, state);
    EXPECT_EQ(ReadBytes(blocked), "a file, not a folder");
}

// --- Settings slots ----------------------------------------------------------------------------

TEST_F(DocumentTest, SavingASlotWritesTheOldFormatAndLoadingOneClearsTheFlag) {
    doc->SetFont(sfYear, {u"IPAMincho"_s, fsBold});
    doc->SetColor(scSaturday, clGreen);
    doc->SetTitleStyle(3);
    const int steps = History().count();
    ASSERT_TRUE(doc->SettingsChanged);

    doc->SaveSlot(3, u"年賀用"_s);
    QByteArray expected =
        "[settei3]\r\ncomment=" + SjisNengayou + "\r\nfont1=IPAMincho\r\n" + "fs11=1\r\nfs12=0\r\n";
    for (int k = 2; k <= 4; ++k)
        expected += "font" + QByteArray::number(k) + "=" + SjisMsGothic + "\r\nfs" +
                    QByteArray::number(k) + "1=0\r\nfs" + QByteArray::number(k) + "2=0\r\n";
    expected += "YYcolor=0\r\nMMcolor=0\r\nHeicolor=0\r\nNichicolor=255\r\nDocolor=32768\r\n"
                "Youbicolor=16777215\r\nSucolor=16777215\r\nSencolor=0\r\nzenkaiym=3\r\n"
                "\r\n[tamurika]\r\nzenkai=3\r\n";
    EXPECT_EQ(ReadBytes(File(u"tamurika.ini"_s)), expected);
    EXPECT_FALSE(doc->SettingsChanged);
    EXPECT_EQ(doc->CurrentSlot, 3);
    EXPECT_TRUE(doc->SlotSaved[2]);
    EXPECT_EQ(doc->SlotComments[2], u"年賀用"_s);
    EXPECT_EQ(History().count(), steps); // the file changed, not the calendar

    // A blank comment names the slot.
    doc->SaveSlot(5, u"  "_s);
    EXPECT_EQ(doc->SlotComments[4], u"フォント設定5"_s);
    const TSlotSettings saved = Model().Settings;

    // The next run starts with the slot saved last.
    Reopen();
    EXPECT_EQ(doc->CurrentSlot, 5);
    EXPECT_EQ(Model().Settings, saved);
    EXPECT_EQ(doc->SlotComments[2], u"年賀用"_s);
    EXPECT_FALSE(doc->SettingsChanged);

    doc->SetColor(scLine, 0x123456);
    ASSERT_TRUE(doc->SettingsChanged);
    doc->LoadSlot(3);
    EXPECT_FALSE(doc->SettingsChanged);
    EXPECT_EQ(doc->CurrentSlot, 3);
    EXPECT_EQ(Model().Settings, saved);
    EXPECT_EQ(History().undoText(), u"設定の読み込み"_s);
    // A slot never saved loads the defaults.
    doc->LoadSlot(8);
    EXPECT_EQ(Model().Settings, TSlotSettings());
    EXPECT_EQ(doc->CurrentSlot, 8);
}

TEST_F(DocumentTest, ASaveThatCannotBeWrittenRaisesAndKeepsTheSessionButTheComment) {
    doc->SaveSlot(2, u"first"_s);
    const QString ini = File(u"tamurika.ini"_s);
    ASSERT_TRUE(QFile::setPermissions(ini, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const QByteArray before = ReadBytes(ini);
    doc->SetColor(scYear, clBlue);
    ASSERT_TRUE(doc->SettingsChanged);

    try {
        doc->SaveSlot(4, u"second"_s);
        ADD_FAILURE() << "a read-only file was written";
    } catch (const EIniFileException& error) {
        EXPECT_EQ(error.Message(), ini + u" に書き込めません"_s);
    }
    EXPECT_EQ(ReadBytes(ini), before);
    EXPECT_TRUE(doc->SettingsChanged);
    EXPECT_EQ(doc->CurrentSlot, 2);
    EXPECT_FALSE(doc->SlotSaved[3]);
    EXPECT_EQ(doc->SlotComments[3], u"second"_s); // offered again for the next try
    EXPECT_TRUE(doc->SlotSaved[1]);
}

} // namespace
