// The calendar document and its preview window as the tests of the preview need them: the
// program's folder opened as at a start, the year 2027 chosen, the window composed as
// "ﾌﾟﾚﾋﾞｭ-＆印刷" composes it.
#pragma once

#include <memory>

#include "model/calendardocument.h"
#include "preview/printlrunit.h"
#include "settings/statefile.h"

namespace testing_support {

/// Keeps 100 % as the preview's zoom chosen last in the program's folder `folder`, so that its
/// windows open at 100 %: the offscreen platform's screen (800 × 600) is too small for the page
/// at its size, and a first window there opens fitted to the window.
inline void KeepZoomAt100(const QString& folder) {
    TStateFile(folder).WriteString(QStringLiteral("preview"), QStringLiteral("zoom"),
                                   QStringLiteral("100"));
}

/// The document of the program whose folder is `folder` (settings read from there), showing
/// `year`.
inline std::unique_ptr<TCalendarDocument> OpenDocument(const QString& folder, int year = 2027) {
    auto document = std::make_unique<TCalendarDocument>(folder);
    document->Open();
    document->SetYear(year);
    return document;
}

/// The preview window of `document`, printing on `printer` (the application's when nullptr),
/// composed and, when `show`, shown (which renders it at the zoom kept, or as the screen
/// allows: see KeepZoomAt100).
inline std::unique_ptr<TFrmPrtLR> OpenPreview(TCalendarDocument& document,
                                              TPrinter* printer = nullptr, bool show = true) {
    auto window = std::make_unique<TFrmPrtLR>(document, printer);
    window->Compose();
    if (show)
        window->show();
    return window;
}

} // namespace testing_support
