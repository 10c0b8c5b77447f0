// The cost of the 暦 beside the cost of the sheet it is shown on: a whole year's 暦 computed
// (TKoyomiYear) against the year sheet composed from the default model without a photo and
// its page drawn at one pixel per design unit, the work of the preview (bench/koyomi). Prints
// the median and the range of each in milliseconds, and their ratio.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include <QApplication>

#include "calendar/koyomi.h"
#include "model/calendarmodel.h"
#include "platform/bitmap.h"
#include "report/lrdocument.h"
#include "sheet/sheetcomposition.h"
#include "sheet/sheetlayout.h"

namespace {

struct TTimes {
    double Median, Low, High;
};

TTimes Measure(int rounds, const std::function<void()>& work) {
    std::vector<double> ms;
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.front(), ms.back()};
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int year = argc > 1 ? std::atoi(argv[1]) : 2027;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 11;

    const TTimes koyomi = Measure(rounds, [year] {
        const Koyomi::TKoyomiYear days(year);
        if (!days.Day(1, 1).Known())
            std::abort();
    });
    TCalendarModel model;
    model.Year = year;
    const TTimes sheet = Measure(rounds, [&model] {
        TSheetLayout layout;
        ComposeSheet(layout, model, TSheetUse::Preview);
        VEvudaRir& doc = *layout.LightRep1;
        TBitmap page(doc.Width(), doc.Height());
        doc.BeginPreview();
        doc.DrawPreview(page.Canvas(), 0, 0, 100);
        doc.EndPreview();
        page.Canvas().EndPaint();
    });
    std::printf("koyomi %d: %.3f ms (%.3f-%.3f)\n", year, koyomi.Median, koyomi.Low, koyomi.High);
    std::printf("sheet %d: %.3f ms (%.3f-%.3f)\n", year, sheet.Median, sheet.Low, sheet.High);
    std::printf("ratio: %.4f\n", koyomi.Median / sheet.Median);
    return 0;
}
