// Fuzzes the command line of tamurika-export: the input is the argument list, one argument per
// NUL-separated piece. Anything either makes one complete command or is refused with a usage
// message.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QByteArray>
#include <QList>
#include <QStringList>

#include "export/exportcommand.h"
#include "model/paperchoice.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QStringList arguments;
    if (size > 0) {
        const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
        for (const QByteArray& piece : bytes.split('\0'))
            arguments << QString::fromUtf8(piece);
    }
    try {
        const TExportOptions options = ParseExportArguments(arguments);
        if (options.Mode == TExportOptions::TMode::Holidays &&
            (options.FromYear < ExportMinYear || options.ToYear > ExportMaxYear ||
             options.FromYear > options.ToYear))
            std::abort();
        // A sheet has one output and every value within its range.
        if (options.Mode == TExportOptions::TMode::Sheet &&
            (options.Target.isEmpty() ||
             (options.Year && (*options.Year < ExportMinYear || *options.Year > ExportMaxYear)) ||
             (options.Slot && (*options.Slot < 1 || *options.Slot > 10)) ||
             (options.Position && (*options.Position < -10 || *options.Position > 10)) ||
             (options.Paper && std::find(SheetPapers.begin(), SheetPapers.end(), *options.Paper) ==
                                   SheetPapers.end()) ||
             options.Dpi < ExportMinDpi || options.Dpi > ExportMaxDpi ||
             (options.Dpi != TExportOptions::PreviewDpi &&
              options.Output != TExportOptions::TOutput::Png)))
            std::abort();
        // A framing in its ranges, and none but the default without --fill.
        const TPictureFraming& f = options.Framing;
        if (!(f.FocusX >= 0 && f.FocusX <= 1 && f.FocusY >= 0 && f.FocusY <= 1 &&
              f.Zoom >= TPictureFraming::MinZoom && f.Zoom <= TPictureFraming::MaxZoom) ||
            (f.Mode != TFrameMode::Fill && f != TPictureFraming{}))
            std::abort();
    } catch (const EExportUsage& e) {
        if (e.Message().isEmpty())
            std::abort(); // the user is always told what is wrong
    }
    return 0;
}
