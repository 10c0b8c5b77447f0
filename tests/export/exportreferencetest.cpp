// The sheets tamurika-export draws, pixel for pixel against the sheets it drew before the
// calendar became one model (tests/export/reference/, written by that program with the sample
// photo): the change of where the state lives changed no pixel. The year 1500 differs in one
// place on purpose: its February has the 29th the Julian calendar gives it.
#include <gtest/gtest.h>

#include <QImage>

#include "calendar/julius.h"
#include "common/sheetpage.h"
#include "exportfixture.h"

using namespace testing_support;

namespace {

const QString Reference = QStringLiteral(TAMURIKA_EXPORT_REFERENCE);
const QString Photo = QStringLiteral(TAMURIKA_SAMPLE_PHOTO);

// Slot 3 of the references: other faces with bold and italic, eight colours of their own, the
// era title style with the traditional month names; UTF-8 with its byte-order mark.
const QByteArray Slot3 =
    "\xEF\xBB\xBF[settei3]\r\ncomment=年賀用\r\nfont1=IPAMincho\r\nfs11=1\r\nfs12=1\r\n"
    "font2=ＭＳ Ｐゴシック\r\nfs21=0\r\nfs22=1\r\nfont3=IPAPMincho\r\nfs31=1\r\nfs32=0\r\n"
    "font4=ＭＳ ゴシック\r\nfs41=0\r\nfs42=0\r\nYYcolor=32768\r\nMMcolor=8388608\r\n"
    "Heicolor=4210752\r\nNichicolor=33023\r\nDocolor=16744448\r\nYoubicolor=14745599\r\n"
    "Sucolor=15794175\r\nSencolor=8421504\r\nzenkaiym=5\r\n[tamurika]\r\nzenkai=3\r\n";

class ExportReference : public ExportProgramTest {
  protected:
    /// The sheet exported with `arguments` into a PNG, read back.
    QImage Export(const QStringList& arguments) {
        const QString png = Path(QStringLiteral("sheet.png"));
        const ExportResult run =
            Run(arguments + QStringList{QStringLiteral("--paper"), QStringLiteral("A4"),
                                        QStringLiteral("--png"), png});
        EXPECT_EQ(run.code, 0) << run.err.toStdString();
        return QImage(png).convertToFormat(QImage::Format_RGB32);
    }
    static QImage ReferenceImage(const QString& name) {
        return QImage(Reference + u'/' + name).convertToFormat(QImage::Format_RGB32);
    }
};

TEST_F(ExportReference, The2027SheetsAreTheSamePixels) {
    const QStringList photo{QStringLiteral("--picture"), Photo};
    const QStringList year{QStringLiteral("--year"), QStringLiteral("2027"),
                           QStringLiteral("--position"), QStringLiteral("0")};
    EXPECT_EQ(Export(year + photo), ReferenceImage(QStringLiteral("2027-default.png")));
    EXPECT_EQ(Export(year), ReferenceImage(QStringLiteral("2027-nophoto.png")));

    WriteSetting(QStringLiteral("tamurika.ini"), Slot3);
    const QStringList framed = QStringList{QStringLiteral("--year"), QStringLiteral("2027")} +
                               photo +
                               QStringList{QStringLiteral("--fill"),  QStringLiteral("--focus"),
                                           QStringLiteral("0.3,0.6"), QStringLiteral("--zoom"),
                                           QStringLiteral("1.7"),     QStringLiteral("--position"),
                                           QStringLiteral("4")};
    EXPECT_EQ(Export(framed), ReferenceImage(QStringLiteral("2027-slot3-fill.png")));
    // Printed at 150 per inch: the print path, with the photo itself.
    EXPECT_EQ(Export(framed + QStringList{QStringLiteral("--dpi"), QStringLiteral("150")}),
              ReferenceImage(QStringLiteral("2027-slot3-fill-150.png")));
}

TEST_F(ExportReference, October1582StillRunsFromThe4thToThe15th) {
    const QImage sheet = Export({QStringLiteral("--year"), QStringLiteral("1582"),
                                 QStringLiteral("--position"), QStringLiteral("0")});
    EXPECT_EQ(sheet, ReferenceImage(QStringLiteral("1582.png")));
    // Thursday the 4th, then Friday the 15th in the cell beside it.
    const auto ink = [&sheet](int col, int row) {
        return MainInk(sheet, Inside(DayCell(10, col, row)));
    };
    EXPECT_NE(ink(4, 0), TInk::None); // 4
    EXPECT_NE(ink(5, 0), TInk::None); // 15
    EXPECT_EQ(ink(1, 5), TInk::None); // October ends in row 3 or 4: nothing below
}

TEST_F(ExportReference, The1500SheetGainsItsLeapDayAndNothingElseChanges) {
    const QImage sheet = Export({QStringLiteral("--year"), QStringLiteral("1500"),
                                 QStringLiteral("--position"), QStringLiteral("0")});
    const QImage before = ReferenceImage(QStringLiteral("1500.png"));
    ASSERT_EQ(sheet.size(), before.size());
    // 1500 is a leap year of the Julian calendar: 29 February was a Saturday, in the fifth
    // week row of the month.
    const std::int32_t jd = Julius::YMDToJD(1500, 2, 29);
    ASSERT_EQ(Julius::JDDayOfWeek(jd), 7);
    const QRect cell = DayCell(2, 6, 4);
    EXPECT_EQ(MainInk(sheet, Inside(cell)), TInk::Blue) << "29 February in the Saturday colour";
    EXPECT_EQ(MainInk(before, Inside(cell)), TInk::None) << "the old sheet had no 29th";
    // Every other pixel of the page is as it was: March and the rest were right already.
    int changed = 0;
    for (int y = 0; y < sheet.height(); ++y)
        for (int x = 0; x < sheet.width(); ++x)
            if (sheet.pixel(x, y) != before.pixel(x, y)) {
                ++changed;
                EXPECT_TRUE(cell.contains(x, y)) << "changed at " << x << "," << y;
                if (!cell.contains(x, y))
                    return;
            }
    EXPECT_GT(changed, 0);
}

} // namespace
