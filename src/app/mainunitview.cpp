// How the main window shows the calendar document: the sheet's year and first weekday in the
// sample month, the titles, the photo as framed, the colours in the sample and the swatches, and
// the steps that undo and redo would take. Everything here reads the model; nothing changes it.
#include <algorithm>

// Qt
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QUndoStack>

// Local
#include "calendar/julius.h"
#include "calendar/weekdayletter.h"
#include "calex/calex.h"
#include "koyomisample.h"
#include "mainunit.h"
#include "model/calendardocument.h"
#include "model/titlestyle.h"
#include "photo/coarsephoto.h"
#include "photo/photodecoder.h"
#include "photo/photoimage.h"
#include "sampletitle.h"
#include "sheet/daycells.h"
#include "sheet/sheetcomposition.h"
#include "statusbar/statusbarp.h"
#include "widgets/image.h"
#include "widgets/panel.h"

namespace {

// The sample's picture box.
constexpr int PictureBoxWidth = 224;
constexpr int PictureBoxHeight = 168;

void SetTextColor(QLabel* label, TColor color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ToQColor(color));
    label->setPalette(palette);
}

// The sample month moved into `year`, its month and day kept (the day as far as the month has
// it, and the first of the month where the date fell into the ten days 1582 skipped).
std::int32_t SameDateIn(std::int32_t year, std::uint8_t month, std::uint8_t day) {
    const std::uint8_t kept = std::min(day, Julius::DaysOfMonth(year, month));
    try {
        return Julius::YMDToJD(year, month, kept);
    } catch (const EJuliusError&) {
        return Julius::YMDToJD(year, month, 1);
    }
}

} // namespace

void TmainForm::ModelChanged(TModelParts parts) {
    if ((parts & (mpYear | mpStartMonth)) != 0)
        ShowSheetYear();
    if ((parts & mpWeekStart) != 0)
        ShowWeekStart();
    if ((parts & (mpYear | mpTitleStyle | mpStartMonth | mpOwnTitle)) != 0)
        ShowTitles();
    if ((parts & mpColors) != 0)
        ApplyColors();
    if ((parts & (mpPhoto | mpFraming)) != 0)
        ShowFraming();
    // The cells' numbers take the day font's face while the 暦 is shown, as on the sheet.
    if ((parts & (mpKoyomi | mpFonts | mpFamilyDays | mpColors)) != 0)
        ShowKoyomi();
}

void TmainForm::ShowKoyomi() {
    const TCalendarModel& model = FDocument->Model();
    // The holidays of a day as the sheet's day table takes them from the same rules.
    const auto holidays = [this](std::int32_t year, std::uint8_t month, std::uint8_t day) {
        return HolidayNames(StripQuotes(CalendarEx1->GetDayNames(year, month, day)));
    };
    CalendarEx1->OnDayToolTip = [this, holidays](std::int32_t year, std::uint8_t month,
                                                 std::uint8_t day) {
        return FKoyomiSample->ToolTip(year, month, day, holidays(year, month, day));
    };
    FKoyomiSample->SetOptions(model.Koyomi, model.Settings.Fonts[sfDay]);
    FKoyomiSample->SetFamilyDays(model.FamilyDays.Days);
    if (!FKoyomiSample->Shown()) {
        CalendarEx1->SetDayCellPainter(nullptr);
        return;
    }
    CalendarEx1->SetDayCellPainter(
        [this, holidays](QPainter& painter, const QRect& rect, const TDayCellInfo& cell) {
            // The small text as the number is drawn: inverted on the current date, merged with
            // the neighbour colour on the days of the months around.
            TColor text = FKoyomiSample->Options().Color;
            if (cell.Current)
                text = cell.NumberColor;
            else if (cell.Neighbour)
                text = ColorToRGB(text) | ColorToRGB(CalendarEx1->NeighborColor());
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::TextAntialiasing);
            // Inside the lines the window lays over the grid: two pixels at the left, one above
            // and below.
            // A family's day may ask for a colour of its own, or the holiday colour.
            QColor number = ToQColor(cell.NumberColor);
            if (!cell.Current && !cell.Neighbour)
                number = FKoyomiSample
                             ->NumberColor(cell.Year, cell.Month, cell.Day,
                                           ToQColor(FDocument->Model().Settings.Colors[scSunday]))
                             .value_or(number);
            FKoyomiSample->Draw(painter, QRectF(rect.adjusted(2, 1, 0, -1)), cell.Year, cell.Month,
                                cell.Day, holidays(cell.Year, cell.Month, cell.Day), number,
                                ToQColor(text));
            return true;
        });
}

void TmainForm::ShowSheetYear() {
    const TCalendarModel& model = FDocument->Model();
    const int start = model.Shape.StartMonth;
    const std::uint8_t month = CalendarEx1->Month();
    if (SheetYearOf(CalendarEx1->Year(), month, start) == model.Year)
        return;
    // The same month of the model's sheet: in its first year from the start month on, in the
    // next before it.
    const std::int32_t year = month >= start ? model.Year : model.Year + 1;
    CalendarEx1->SetJuliusDay(SameDateIn(year, month, CalendarEx1->Day()));
}

void TmainForm::ShowWeekStart() {
    const bool monday = FDocument->Model().Shape.WeekStart == TWeekStart::Monday;
    CalendarEx1->SetFirstDayOfWeek(monday ? dowMon : dowSun);
    ShowWeekdayLetters();
}

void TmainForm::ShowWeekdayLetters() {
    const TCalendarModel& model = FDocument->Model();
    const auto& colors = model.Settings.Colors;
    for (int col = 0; col < 7; ++col) {
        // The letter and its colour go with the day, whichever column it stands in.
        const int weekday = WeekdayOfColumn(col, model.Shape.WeekStart);
        lblY[col]->setText(WeekdayLetter(weekday));
        SetTextColor(lblY[col], weekday == 0   ? colors[scSunday]
                                : weekday == 6 ? colors[scSaturday]
                                               : colors[scWeekday]);
    }
}

void TmainForm::ShowTitles() {
    const TCalendarModel& model = FDocument->Model();
    const int style = model.TitleStyle();
    ComboBox3->setCurrentIndex(style);
    // The panel's inside less a pixel each side, so that no letter touches the border.
    const TSampleTitle title =
        SampleYearTitle(model, nenST->ClientRect().width() - 2, SampleTitleHeight);
    nenST->setFont(title.Font);
    nenST->SetCaption(title.Text);
    nenST->setToolTip(title.ToolTip);
    if (const auto month = MonthTitle(style, CalendarEx1->Month()))
        tukiST->SetCaption(*month);
}

void TmainForm::ApplyColors() {
    const auto color = [this](TSheetColor c) { return FDocument->Model().Settings.Colors[c]; };

    nenST->SetFontColor(color(scYear));
    Swatches[scYear]->SetColor(color(scYear));

    tukiST->SetFontColor(color(scMonth));
    Swatches[scMonth]->SetColor(color(scMonth));

    CalendarEx1->SetWeekdayColor(color(scWeekday));
    Swatches[scWeekday]->SetColor(color(scWeekday));

    CalendarEx1->SetHolidayColor(color(scSunday));
    CalendarEx1->SetSundayColor(color(scSunday));
    Swatches[scSunday]->SetColor(color(scSunday));

    CalendarEx1->SetSaturdayColor(color(scSaturday));
    Swatches[scSaturday]->SetColor(color(scSaturday));
    ShowWeekdayLetters();

    CalendarEx1->SetColor(color(scDayBack));
    Swatches[scDayBack]->SetColor(color(scDayBack));

    pnlYoubi->SetColor(color(scHeaderBack));
    Swatches[scHeaderBack]->SetColor(color(scHeaderBack));

    Swatches[scLine]->SetColor(color(scLine));
    for (int i = 0; i < 8; ++i) {
        y[i]->SetColor(color(scLine));
        t[i]->SetColor(color(scLine));
    }
}

void TmainForm::ShowFraming() {
    const TCalendarModel& model = FDocument->Model();
    const TSheetPhoto& photo = model.Photo;
    const bool picture = !photo.Empty();
    if (const auto slow = SlowPhoto(photo)) {
        // Decoded on a thread of its own, at the size the sheet's preview needs, unless that
        // is under way or done (a photo that comes back by undo or redo keeps its decoding).
        const QSize size = SheetPreviewDecodeSize(photo.Size());
        if (!slow->HasDecoding(size) && !FDecoder->Decoding(slow.get()))
            FDecoder->Start(slow, size, slow->Thumbnail());
    }
    const bool coarse = picture && FDecoder->Decoding(photo.Picture.get());
    // The photo itself shown now for the first time (its decoding found any damage there is).
    const bool photoShownNow = !coarse && (FShownPhoto != photo.Picture || FShownCoarse);
    if (FShownPhoto != photo.Picture || FShownCoarse != coarse) {
        if (FShownPhoto != photo.Picture && picture)
            OpenDialog1.FileName = photo.FileName;
        FShownPhoto = photo.Picture;
        FShownCoarse = coarse;
        if (coarse) {
            // While the photo is decoded on its thread: its thumbnail, in the photo's size
            // so that the framing is the photo's; nothing where the file carries none.
            Image1->Picture().SetGraphic(std::make_unique<TCoarsePhoto>(
                photo.Size(), FDecoder->Coarse(photo.Picture.get())));
        } else {
            // A copy shares the photo's bytes and its decoding made when it was loaded.
            Image1->Picture().SetGraphic(photo.Picture.get());
        }
    }
    if (coarse)
        StBar->SetText(DecodingText);
    else if (StBar->Text() == DecodingText)
        StBar->SetText(QString());
    const bool fill = model.Framing.Mode == TFrameMode::Fill;
    MIframeFit->setChecked(!fill);
    MIframeFill->setChecked(fill);
    MIframeCentre->setEnabled(fill && picture);
    const QSize size = photo.Size();
    if (fill) {
        Image1->setGeometry(0, 0, PictureBoxWidth, PictureBoxHeight);
        Image1->SetSourceRect(picture ? FillSource(size.width(), size.height(), PictureBoxWidth,
                                                   PictureBoxHeight, model.Framing)
                                      : QRectF());
    } else {
        Image1->setGeometry(
            FitPicture(size.width(), size.height(), PictureBoxWidth, PictureBoxHeight).ToQRect());
        Image1->SetSourceRect({});
    }
    if (fill && picture) {
        if (!FDragStart)
            Image1->setCursor(Qt::OpenHandCursor);
    } else {
        Image1->unsetCursor();
    }
    // The warnings have a panel of their own, short, the whole sentences its tool tip; hints
    // and progress take the first panel and never overwrite it.
    const QString damage = picture ? DamagedPhotoWarning(photo) : QString();
    const QString warning = picture ? LowResolutionWarning(size, model.Framing) : QString();
    QStringList labels;
    QStringList sentences;
    if (!damage.isEmpty()) {
        labels << QStringLiteral("写真が一部破損");
        sentences << damage;
    }
    if (!warning.isEmpty()) {
        labels << LowResolutionLabel(size, model.Framing);
        sentences << warning;
    }
    StBar->SetPanelText(WarningPanel, labels.join(QStringLiteral("　")));
    StBar->SetPanelHint(WarningPanel, sentences.join(u'\n'));
    // A damaged photo is said in words as it is loaded.
    if (photoShownNow && !damage.isEmpty())
        StBar->SetText(damage);
    // The hint over the photo says it in words that fit the first panel; one that no longer
    // holds goes with the photo or framing that gave it.
    const int ppi = picture ? LowResolutionPixelsPerInch(size, model.Framing) : 0;
    const QString hint =
        ppi != 0 ? QStringLiteral("印刷が粗くなります（約 %1 ppi）").arg(ppi) : QString();
    if (!FFramingWarning.isEmpty() && hint != FFramingWarning && StBar->Text() == FFramingWarning)
        StBar->SetText(QString());
    FFramingWarning = hint;
}

void TmainForm::ShowHistory() {
    const QUndoStack& history = FDocument->UndoStack();
    const auto name = [](const QString& verb, const QString& step, const QString& key) {
        return step.isEmpty() ? verb + key : verb + QStringLiteral(": ") + step + key;
    };
    MIundo->setText(name(QStringLiteral("元に戻す"), history.undoText(), QStringLiteral("(&U)")));
    MIundo->setEnabled(history.canUndo());
    MIredo->setText(name(QStringLiteral("やり直し"), history.redoText(), QStringLiteral("(&R)")));
    MIredo->setEnabled(history.canRedo());
}
