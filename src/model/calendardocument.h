// The calendar being made in the window program: the model, the history of its changes (each
// change one step of an undo stack, undone and done again as a whole) and the session of the
// settings slots. The main window, its dialogs and the preview window edit the model only
// through the operations here and show it when it changes; none of them holds a fact of it.
// What the program keeps between runs follows the model, undo and redo included: the print
// position, the paper, the frame mode and the 暦 shown as they change, the framing of each photo
// and the folder of the last one.
#pragma once

#include <array>

#include <QObject>
#include <QString>
#include <QUndoStack>

#include "calendarmodel.h"

class QTimer;

class TCalendarDocument : public QObject {
    Q_OBJECT

  public:
    /// The document of the program whose folder is `appPath` (its settings live in its settings
    /// folder). The model is empty until Open.
    explicit TCalendarDocument(QString appPath, QObject* parent = nullptr);
    ~TCalendarDocument() override;

    // --- The session of the settings slots (names of the program's design) --------------------
    const QString AppPath;                       // the program's folder, with a trailing "/"
    std::array<QString, SlotCount> SlotComments; // comment of slot n at index n − 1
    std::array<bool, SlotCount> SlotSaved{};     // whether slot n was ever saved
    int CurrentSlot = 1;                         // slot last loaded or saved
    /// The fonts, colours or title style changed since the last load or save (by the rules of
    /// the window's commands, which also mark it where nothing changed: MarkSettingsChanged).
    bool SettingsChanged = false;

    /// The settings file: "tamurika.ini" in the settings folder.
    QString SettingsFileName() const;

    // --- The model
    // ---------------------------------------------------------------------------------
    const TCalendarModel& Model() const { return FModel; }
    /// The history of changes; its actions undo and redo. Owned by the document.
    QUndoStack& UndoStack() { return FUndo; }

    /// Undoes the last step / does the step undone last again; nothing when there is none.
    void Undo();
    void Redo();

    /// Start of a run: the slot comments and the slot saved last read, the model read from the
    /// files with that slot (this year, no photo), no history, nothing changed.
    void Open();

    // Every operation below is one undo step named for the user ("年のフォント"), and none
    // when the model already is as asked. Failures to keep something in a file do not stop
    // the change: they are told through Notice.
    void SetYear(std::int32_t year);
    /// A photo read whole (ReadSheetPhoto); its framing is the one remembered for it, or
    /// centred at 1 ×, in the frame mode of the moment. Its folder is remembered for the
    /// picture dialog.
    void SetPhoto(const TSheetPhoto& photo);
    /// A photo SetPhoto made the model's that turned out unreadable when it was decoded later
    /// (a large HEIF photo is decoded on a thread of its own while its thumbnail shows) leaves
    /// the calendar: when its loading is the last step, that step is undone and forgotten,
    /// redo cannot bring it back; when steps followed, they stay, and the photo before it
    /// comes back as a step of its own, "画像の取り消し". Nothing when the model does not hold it.
    void WithdrawPhoto(const TSheetPhoto& photo);
    /// "枠に合わせる" / "枠いっぱい": the mode, also kept as the user's choice.
    void SetFrameMode(TFrameMode mode);
    /// The part of a filling photo. The changes of one drag (BeginFramingRun .. EndFramingRun),
    /// or of wheel steps without a pause between them, make one step together.
    void SetFraming(const TPictureFraming& framing);
    void BeginFramingRun();
    /// Ends a drag or a run of wheel steps; the part chosen is kept for the photo once the
    /// window has shown it (when the event loop runs next), or at KeepFraming.
    void EndFramingRun();
    /// Keeps now the part of the photo not kept yet (before the program ends).
    void KeepFraming();
    /// "中央に戻す": the filling photo centred at 1 × again.
    void CentreFraming();
    void SetFont(TSheetFont font, const TSlotFont& value);
    void SetColor(TSheetColor color, TColor value);
    void SetTitleStyle(int style);
    /// "初期値に戻す": all eight colours as a first start has them.
    void ResetColors();
    /// The paper and the position are kept in their files at once; when that fails, the change
    /// is made all the same and EIniFileException says why it is not kept.
    void SetPaper(TPaperSize paper);
    void SetPosition(int position);
    /// "暦の表示": what the day cells show of the 暦, kept in the state file at once (and
    /// again at undo and redo); a file that cannot be written is told through Notice.
    void SetKoyomiOptions(const TKoyomiOptions& options);
    /// The family's days, sorted by date: one step "記念日"; the days file follows (on undo and
    /// redo too). A days file that could not be read is never written over: told through
    /// Notice.
    void SetFamilyDays(std::vector<TFamilyDay> days);
    /// The first month of the sheet (1..12; others are clamped), the weekday its weeks start
    /// on, and the family's own title (its text kept as OwnTitleText makes it): each one step,
    /// kept in the state file at once and again at undo and redo.
    void SetStartMonth(int month);
    void SetWeekStart(TWeekStart start);
    void SetOwnTitle(const TOwnTitle& title);
    /// All three at once, as the dialog "始まりと題名" gives them: one step, named for the one
    /// part that changed, or "始まりと題名" when more than one did; the month and the title's text
    /// are kept as the setters above keep them.
    void SetShape(const TSheetShape& shape);

    /// Loads the fonts, colours and title style of slot n (all defaults for a slot outside
    /// 1..10 or never saved) as one step; n becomes the current slot and the settings count as
    /// unchanged.
    void LoadSlot(int slot);
    /// Saves the fonts, colours and title style into slot n with `comment` (a blank one
    /// becomes "フォント設定" + n) and makes n the slot the next run starts with. Not a step of
    /// the history: it changes the file, not the calendar. The comment is the slot's from
    /// now on; when the file cannot be written, EIniFileException passes on and the changed
    /// flag and the current slot stay as they were.
    void SaveSlot(int slot, const QString& comment);
    /// The rules of the window's colour commands and slot menu: a colour dialog cancelled, the
    /// colours shown again after the load dialog, count as a change of the settings.
    void MarkSettingsChanged() { SettingsChanged = true; }

    /// How long the wheel must rest before its steps are over.
    static constexpr int WheelPauseMs = 500;

  signals:
    /// The model changed in `parts` (by an operation, an undo or a redo).
    void Changed(TModelParts parts);
    /// Something the user should know that is no error of what they did: a state file that
    /// could not be written, so the choice is not kept for the next run.
    void Notice(const QString& message);

  private:
    class TChange;
    friend class TChange;

    /// Pushes the step from the model to `next`, named `text`; nothing when they are equal.
    /// Steps of one `run` (framing) merge into one.
    void Change(const TCalendarModel& next, const QString& text, int run = 0);
    /// Makes `model` the model: keeps what the files keep of it and tells the views.
    void Apply(const TCalendarModel& model);
    /// Keeps the part of a filling photo for the next time it is loaded.
    void RememberFraming();
    /// Runs `write`; a settings file it cannot write is told through Notice, or within
    /// Raising by the exception Raising raises.
    template <class F> void Keep(F&& write);
    /// Runs `operation`, then raises EIniFileException for a file it could not keep.
    template <class F> void Raising(F&& operation);

    TCalendarModel FModel;
    QUndoStack FUndo;
    int FFramingRun = 0;             // the run under way; 0 when none
    int FLastRun = 0;                // the last run number given out
    QTimer* FWheelPause;             // ends a run of wheel steps; owned as the document's child
    QTimer* FKeepFraming;            // keeps the part of the photo after a step; likewise
    bool FFramingUnkept = false;     // the part of the photo changed since it was kept
    QString* FHeldFailure = nullptr; // where Keep puts a failure within Raising
};
