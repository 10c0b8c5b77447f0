// A small report with every kind of object, printed by the PDF and print-queue tests: a title
// band with a framed text item, a band with a picture, and a grid of numbered cells.
#pragma once

#include <QString>
#include <QStringList>

#include "common/sheetpage.h"
#include "report/lightrepex.h"

namespace report_testing {

struct SampleDocument {
    explicit SampleDocument(TPrinter* printer) : Doc(printer) {
        Doc.SetMarginTop(36);
        Doc.SetMarginLeft(39);
        Doc.SetMarginRight(39);
        Doc.SetMarginBottom(48);
        Doc.SetTitle(QStringLiteral("たむりか printtest"));

        auto* title =
            CreateLR<TLRLayoutPanel>(&Doc, QStringLiteral("TitleBand"), Bounds(40, 37, 714, 60));
        Title = CreateLR<TLRItem>(title, QStringLiteral("Title"), Bounds(100, 10, 400, 40));
        Title->SetText(QStringLiteral("TAMURIKA 2026"));
        Title->Font().SetName(QStringLiteral("ＭＳ Ｐゴシック"));
        Title->Font().SetHeight(-24);
        Title->Font().SetColor(clBlack);
        Title->SetAlignment(taCenter);
        Title->SetLayout(tlCenter);
        Title->SetLineColor(clRed);
        Title->SetLineTop(lsDouble);
        Title->SetLineLeft(lsDouble);
        Title->SetLineRight(lsDouble);
        Title->SetLineBottom(lsDouble);

        auto* pictureBand =
            CreateLR<TLRLayoutPanel>(&Doc, QStringLiteral("PictureBand"), Bounds(40, 97, 714, 200));
        Picture =
            CreateLR<TLRImage>(pictureBand, QStringLiteral("Picture"), Bounds(200, 20, 300, 150));
        Picture->SetStretch(true);
        auto bitmap = std::make_unique<TBitmap>(30, 15);
        QImage blue(30, 15, QImage::Format_RGB32);
        blue.fill(qRgb(0, 0, 255));
        bitmap->Assign(blue);
        Picture->Picture().SetGraphic(std::move(bitmap));

        auto* gridBand =
            CreateLR<TLRLayoutPanel>(&Doc, QStringLiteral("GridBand"), Bounds(40, 297, 714, 100));
        Grid = CreateLR<TLRGridPanel>(gridBand, QStringLiteral("Days"), Bounds(0, 0, 168, 32));
        Grid->SetAlign(alNone);
        Grid->SetBounds(5, 10, 168, 32);
        Grid->SetColCount(7);
        Grid->SetRowCount(2);
        auto* cell = CreateLR<TLRItem>(Grid, QStringLiteral("Cell"));
        cell->SetAlign(alClient);
        cell->SetTransparent(false);
        cell->SetLineBottom(lsSingle);
        cell->SetLineRight(lsSingle);
        auto* day = CreateLR<TLRItem>(Grid, QStringLiteral("Day"), Bounds(1, 0, 23, 15));
        day->SetAlignment(taCenter);
        day->Font().SetHeight(-11);
        day->Font().SetStyle(fsBold);
        day->Font().SetColor(clBlack);
        Grid->OnPrintPanel = [day](TLRControl*, int c, int r, TRect, TPrintStatus&) {
            day->SetText(QStringLiteral("D%1").arg(r * 7 + c + 1));
        };
    }

    // Where things are on the paper, in design units (1/96 inch).
    static constexpr int TitleLeft = 140;  // 40 + 100
    static constexpr int TitleTop = 47;    // 37 + 10
    static constexpr int TitleBottom = 86; // 47 + 40 − 1
    static constexpr int PictureLeft = 240, PictureTop = 117, PictureRight = 540,
                         PictureBottom = 267;

    VEvudaRir Doc;
    TLRItem* Title;
    TLRImage* Picture;
    TLRGridPanel* Grid;
};

using testing_support::RenderPdf;
using testing_support::RunTool;

/// Whether a pixel is clearly red / blue, as a printed colour read back.
inline bool IsRed(QRgb c) {
    return qRed(c) > 180 && qGreen(c) < 90 && qBlue(c) < 90;
}
inline bool IsBlue(QRgb c) {
    return qBlue(c) > 180 && qRed(c) < 90 && qGreen(c) < 90;
}

} // namespace report_testing
