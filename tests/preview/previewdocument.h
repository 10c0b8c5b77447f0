// The calendar document and its preview window as the tests of the preview need them: the
// program's folder opened as at a start, the year 2027 chosen, the window composed as
// "ﾌﾟﾚﾋﾞｭ-＆印刷" composes it.
#pragma once

#include <memory>

#include "model/calendardocument.h"
#include "preview/printlrunit.h"

namespace testing_support {

/// The document of the program whose folder is `folder` (settings read from there), showing
/// `year`.
inline std::unique_ptr<TCalendarDocument> OpenDocument(const QString& folder, int year = 2027) {
    auto document = std::make_unique<TCalendarDocument>(folder);
    document->Open();
    document->SetYear(year);
    return document;
}

/// The preview window of `document`, printing on `printer` (the application's when nullptr),
/// composed and, when `show`, shown (which renders it at 100 %).
inline std::unique_ptr<TFrmPrtLR> OpenPreview(TCalendarDocument& document,
                                              TPrinter* printer = nullptr, bool show = true) {
    auto window = std::make_unique<TFrmPrtLR>(document, printer);
    window->Compose();
    if (show)
        window->show();
    return window;
}

} // namespace testing_support
