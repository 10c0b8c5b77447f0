#include "calendardocument.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include "framingmemory.h"
#include "koyomioptions.h"
#include "modelfiles.h"
#include "paperchoice.h"
#include "picturefolder.h"
#include "printposition.h"
#include "settings/inifile.h"
#include "settings/settingsfolder.h"

namespace {

// Steps kept for undoing. Each holds the model before and after it, which shares its photo with
// the model, so a step that changed the photo keeps the old photo alive: a few dozen photos at
// most, rather than every photo of a long evening.
constexpr int UndoLimit = 100;

// What the steps are called in the menu ("元に戻す: 年のフォント").
const char16_t* const FontNames[SheetFontCount] = {u"年のフォント", u"月のフォント",
                                                   u"日のフォント", u"曜日のフォント"};
const char16_t* const ColorNames[SheetColorCount] = {
    u"年のフォントの色",     u"月のフォントの色",
    u"平日のフォントの色",   u"日曜日、休日のフォントの色",
    u"土曜日のフォントの色", u"日付の背景の色",
    u"曜日の背景の色",       u"線の色"};

// The id under which the steps of one framing run merge.
constexpr int FramingStepId = 1;

} // namespace

// One step of the history: the model before and after it. Undone, the model is as before, done
// again, as after; a step of a framing run takes the later steps of its run into itself.
class TCalendarDocument::TChange : public QUndoCommand {
  public:
    TChange(TCalendarDocument& document, TCalendarModel before, TCalendarModel after,
            const QString& text, int run)
        : QUndoCommand(text), FDocument(document), FBefore(std::move(before)),
          FAfter(std::move(after)), FRun(run) {}

    void undo() override {
        FDocument.Apply(FBefore);
        // Undone for good: the stack forgets a step that is obsolete once undone.
        if (FWithdrawn)
            setObsolete(true);
    }
    void redo() override { FDocument.Apply(FAfter); }
    int id() const override { return FRun != 0 ? FramingStepId : -1; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* later = static_cast<const TChange*>(other);
        if (later->FRun != FRun)
            return false;
        FAfter = later->FAfter;
        // A drag that ends where it began changed nothing.
        setObsolete(FAfter == FBefore);
        return true;
    }

    /// Whether this step made `photo` the model's.
    bool Loaded(const TSheetPhoto& photo) const {
        return FAfter.Photo == photo && !(FBefore.Photo == photo);
    }
    const TCalendarModel& Before() const { return FBefore; }
    /// The next undo is the last: redo cannot bring the step back.
    void Withdraw() { FWithdrawn = true; }

  private:
    TCalendarDocument& FDocument;
    TCalendarModel FBefore;
    TCalendarModel FAfter;
    int FRun;
    bool FWithdrawn = false;
};

TCalendarDocument::TCalendarDocument(QString appPath, QObject* parent)
    : QObject(parent), AppPath(appPath.endsWith(u'/') ? appPath : appPath + u'/') {
    FUndo.setUndoLimit(UndoLimit);
    FWheelPause = new QTimer(this);
    FWheelPause->setSingleShot(true);
    FWheelPause->setInterval(WheelPauseMs);
    connect(FWheelPause, &QTimer::timeout, this, [this] { EndFramingRun(); });
    // The part of a photo is written once the window has shown it: a step is not to wait for
    // the disk.
    FKeepFraming = new QTimer(this);
    FKeepFraming->setSingleShot(true);
    FKeepFraming->setInterval(0);
    connect(FKeepFraming, &QTimer::timeout, this, [this] { KeepFraming(); });
}

TCalendarDocument::~TCalendarDocument() {
    KeepFraming();
    // The steps refer to the document; they go before it.
    FUndo.clear();
}

QString TCalendarDocument::SettingsFileName() const {
    return SettingsFolder(AppPath) + SettingsIniName;
}

void TCalendarDocument::Open() {
    const TSlotDirectory directory = ReadSlotDirectory(TIniFile(SettingsFileName()));
    SlotComments = directory.Comments;
    SlotSaved = directory.Saved;
    CurrentSlot = directory.LastSlot;
    FUndo.clear();
    FModel = ReadCalendarModel(AppPath, CurrentSlot);
    SettingsChanged = false;
    emit Changed(AllModelParts);
}

void TCalendarDocument::Undo() {
    EndFramingRun();
    FUndo.undo();
}

void TCalendarDocument::Redo() {
    EndFramingRun();
    FUndo.redo();
}

template <class F> void TCalendarDocument::Keep(F&& write) {
    try {
        write();
    } catch (const EIniFileException& error) {
        if (FHeldFailure != nullptr)
            *FHeldFailure = error.Message();
        else
            emit Notice(error.Message());
    } catch (const EFamilyDaysError& error) {
        if (FHeldFailure != nullptr)
            *FHeldFailure = error.Message();
        else
            emit Notice(error.Message());
    }
}

template <class F> void TCalendarDocument::Raising(F&& operation) {
    QString failure;
    FHeldFailure = &failure;
    try {
        operation();
    } catch (...) {
        FHeldFailure = nullptr;
        throw;
    }
    FHeldFailure = nullptr;
    if (!failure.isEmpty())
        throw EIniFileException(failure);
}

void TCalendarDocument::Change(const TCalendarModel& next, const QString& text, int run) {
    if (next == FModel)
        return;
    FUndo.push(new TChange(*this, FModel, next, text, run));
}

void TCalendarDocument::Apply(const TCalendarModel& model) {
    const TModelParts parts = Differences(FModel, model);
    if (parts == 0)
        return;
    const bool photoChanged = (parts & mpPhoto) != 0;
    const bool modeChanged = FModel.Framing.Mode != model.Framing.Mode;
    if (photoChanged && FFramingUnkept)
        RememberFraming(); // the part of the photo shown until now
    FModel = model;
    if ((parts & SlotParts) != 0)
        SettingsChanged = true;
    // The next run starts in the mode shown last, also when an undo brought it back.
    if (modeChanged)
        Keep([this] { TFramingMemory(AppPath).SetMode(FModel.Framing.Mode); });
    if ((parts & mpPaper) != 0)
        Keep([this] { WritePaperChoice(AppPath, FModel.Paper); });
    if ((parts & mpPosition) != 0)
        Keep([this] { WritePrintPosition(AppPath, FModel.Position); });
    if ((parts & mpKoyomi) != 0)
        Keep([this] { WriteKoyomiOptions(AppPath, FModel.Koyomi); });
    if ((parts & mpFamilyDays) != 0)
        Keep([this] { WriteDaysFile(DaysFilePath(AppPath), FModel.FamilyDays); });
    if ((parts & (mpStartMonth | mpWeekStart | mpOwnTitle)) != 0)
        Keep([this] { WriteSheetShape(AppPath, FModel.Shape); });
    if ((parts & mpFraming) != 0 && !photoChanged) {
        FFramingUnkept = true;
        // Within a run the part is kept once the run is over.
        if (FFramingRun == 0)
            FKeepFraming->start();
    }
    emit Changed(parts);
}

void TCalendarDocument::KeepFraming() {
    FKeepFraming->stop();
    if (FFramingUnkept && FFramingRun == 0)
        RememberFraming();
}

void TCalendarDocument::RememberFraming() {
    FFramingUnkept = false;
    if (FModel.Photo.Empty())
        return;
    Keep([this] {
        TFramingMemory(AppPath).Remember(FModel.Photo.FileName, FModel.Photo.Size(),
                                         FModel.Framing);
    });
}

void TCalendarDocument::SetYear(std::int32_t year) {
    TCalendarModel next = FModel;
    next.Year = year;
    Change(next, QStringLiteral("印刷する年"));
}

void TCalendarDocument::SetPhoto(const TSheetPhoto& photo) {
    EndFramingRun();
    TCalendarModel next = FModel;
    next.Photo = photo;
    // A photo framed before shows as it was left; any other starts centred at 1 ×.
    const TPictureFraming remembered =
        TFramingMemory(AppPath).Recall(photo.FileName, photo.Size()).value_or(TPictureFraming{});
    next.Framing.FocusX = remembered.FocusX;
    next.Framing.FocusY = remembered.FocusY;
    next.Framing.Zoom = remembered.Zoom;
    // For the next run's picture dialog; a settings folder that cannot be written only means
    // it is not kept.
    if (!photo.FileName.isEmpty())
        RememberPictureFolder(AppPath, QFileInfo(photo.FileName).absolutePath());
    Change(next, QStringLiteral("画像の読み込み"));
}

void TCalendarDocument::WithdrawPhoto(const TSheetPhoto& photo) {
    if (photo.Empty() || !(FModel.Photo == photo))
        return;
    EndFramingRun();
    const auto step = [this](int index) {
        // The stack holds only this document's steps.
        return index >= 0 ? static_cast<const TChange*>(FUndo.command(index)) : nullptr;
    };
    const TChange* last = step(FUndo.index() - 1);
    if (last != nullptr && last->Loaded(photo)) {
        const_cast<TChange*>(last)->Withdraw();
        FUndo.undo();
        return;
    }
    // Steps followed: they stay, and the photo shown before comes back as a step of its own.
    TCalendarModel next = FModel;
    next.Photo = {};
    for (int index = FUndo.index() - 1; index >= 0; --index)
        if (const TChange* loading = step(index); loading->Loaded(photo)) {
            next.Photo = loading->Before().Photo;
            next.Framing = loading->Before().Framing;
            next.Framing.Mode = FModel.Framing.Mode;
            break;
        }
    Change(next, QStringLiteral("画像の取り消し"));
}

void TCalendarDocument::SetFrameMode(TFrameMode mode) {
    EndFramingRun();
    TCalendarModel next = FModel;
    next.Framing.Mode = mode;
    // The user's choice, kept again when it is the mode already; a change keeps it as it is
    // applied.
    if (mode == FModel.Framing.Mode)
        Keep([this, mode] { TFramingMemory(AppPath).SetMode(mode); });
    Change(next, mode == TFrameMode::Fill ? QStringLiteral("枠いっぱい")
                                          : QStringLiteral("枠に合わせる"));
}

void TCalendarDocument::BeginFramingRun() {
    KeepFraming(); // what the last step showed, before the run changes it
    FWheelPause->stop();
    FFramingRun = ++FLastRun;
}

void TCalendarDocument::SetFraming(const TPictureFraming& framing) {
    if (FFramingRun == 0) {
        // A wheel step: the run lasts until the wheel pauses.
        BeginFramingRun();
        FWheelPause->start();
    } else if (FWheelPause->isActive()) {
        FWheelPause->start();
    }
    TCalendarModel next = FModel;
    next.Framing = framing;
    Change(next, QStringLiteral("写真の位置と大きさ"), FFramingRun);
}

void TCalendarDocument::EndFramingRun() {
    FWheelPause->stop();
    if (FFramingRun == 0)
        return;
    FFramingRun = 0;
    if (FFramingUnkept)
        FKeepFraming->start();
}

void TCalendarDocument::CentreFraming() {
    EndFramingRun();
    TCalendarModel next = FModel;
    next.Framing.FocusX = 0.5;
    next.Framing.FocusY = 0.5;
    next.Framing.Zoom = 1;
    Change(next, QStringLiteral("中央に戻す"));
}

void TCalendarDocument::SetFont(TSheetFont font, const TSlotFont& value) {
    TCalendarModel next = FModel;
    next.Settings.Fonts[font] = value;
    Change(next, QString::fromUtf16(FontNames[font]));
}

void TCalendarDocument::SetColor(TSheetColor color, TColor value) {
    TCalendarModel next = FModel;
    next.Settings.Colors[color] = value;
    Change(next, QString::fromUtf16(ColorNames[color]));
}

void TCalendarDocument::SetTitleStyle(int style) {
    TCalendarModel next = FModel;
    next.Settings.TitleStyle = style;
    Change(next, QStringLiteral("年月の表示"));
}

void TCalendarDocument::ResetColors() {
    TCalendarModel next = FModel;
    next.Settings.Colors = TSlotSettings().Colors;
    Change(next, QStringLiteral("色を初期値に戻す"));
}

void TCalendarDocument::SetPaper(TPaperSize paper) {
    TCalendarModel next = FModel;
    next.Paper = paper;
    Raising([&] {
        if (next == FModel) // kept again all the same: the user chose it
            Keep([this] { WritePaperChoice(AppPath, FModel.Paper); });
        Change(next, QStringLiteral("用紙"));
    });
}

void TCalendarDocument::SetPosition(int position) {
    TCalendarModel next = FModel;
    next.Position = std::clamp(position, -SheetMaxPosition, SheetMaxPosition);
    Raising([&] {
        if (next == FModel) // kept again all the same: the user applied it
            Keep([this] { WritePrintPosition(AppPath, FModel.Position); });
        Change(next, QStringLiteral("左右の位置"));
    });
}

void TCalendarDocument::SetKoyomiOptions(const TKoyomiOptions& options) {
    TCalendarModel next = FModel;
    next.Koyomi = options;
    Change(next, QStringLiteral("暦の表示"));
}

void TCalendarDocument::SetFamilyDays(std::vector<TFamilyDay> days) {
    // The list is kept sorted by date, in the dialog and in the file alike.
    std::stable_sort(days.begin(), days.end(), EarlierInYear);
    TCalendarModel next = FModel;
    next.FamilyDays = WithDays(FModel.FamilyDays, std::move(days));
    Change(next, QStringLiteral("記念日"));
}

void TCalendarDocument::SetStartMonth(int month) {
    TCalendarModel next = FModel;
    next.Shape.StartMonth = std::clamp(month, 1, 12);
    Change(next, QStringLiteral("始まりの月"));
}

void TCalendarDocument::SetWeekStart(TWeekStart start) {
    TCalendarModel next = FModel;
    next.Shape.WeekStart = start;
    Change(next, QStringLiteral("週の始まり"));
}

void TCalendarDocument::SetOwnTitle(const TOwnTitle& title) {
    TCalendarModel next = FModel;
    next.Shape.Title = title;
    next.Shape.Title.Text = OwnTitleText(title.Text);
    Change(next, QStringLiteral("題名"));
}

void TCalendarDocument::SetShape(const TSheetShape& shape) {
    TCalendarModel next = FModel;
    next.Shape = shape;
    next.Shape.StartMonth = std::clamp(shape.StartMonth, 1, 12);
    next.Shape.Title.Text = OwnTitleText(shape.Title.Text);
    // Named as the setter of the one part would name it, so that the menu says what undo does.
    const TModelParts parts = Differences(FModel, next);
    const QString text = parts == mpStartMonth  ? QStringLiteral("始まりの月")
                         : parts == mpWeekStart ? QStringLiteral("週の始まり")
                         : parts == mpOwnTitle  ? QStringLiteral("題名")
                                                : QStringLiteral("始まりと題名");
    Change(next, text);
}

void TCalendarDocument::LoadSlot(int slot) {
    TCalendarModel next = FModel;
    next.Settings = ReadSlot(TIniFile(SettingsFileName()), slot);
    Change(next, QStringLiteral("設定の読み込み"));
    CurrentSlot = slot;
    SettingsChanged = false;
}

void TCalendarDocument::SaveSlot(int slot, const QString& comment) {
    const QString kept = comment.trimmed().isEmpty() ? DefaultSlotComment(slot) : comment;
    if (slot >= 1 && slot <= SlotCount)
        SlotComments[slot - 1] = kept;
    TIniFile ini(SettingsFileName());
    SaveSlotSettings(ini, slot, kept, FModel.Settings, FModel.TitleStyle());
    if (slot >= 1 && slot <= SlotCount)
        SlotSaved[slot - 1] = true;
    CurrentSlot = slot;
    SettingsChanged = false;
}
