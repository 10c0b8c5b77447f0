// A main window on a program folder of its own, showing 2027 with an empty history: where the
// tests of the window's dialogs start.
#pragma once

#include <memory>

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QUndoStack>

#include "app/mainunit.h"
#include "modal.h"
#include "model/calendardocument.h"

namespace testing_support {

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        BeforeStart();
        form = std::make_unique<TmainForm>(dir.path());
        form->show();
        Document().SetYear(2027);
        Document().UndoStack().clear();
    }
    void TearDown() override { CancelPendingAnswers(); }
    /// What a test puts into the program's folder before the window opens.
    virtual void BeforeStart() {}
    TCalendarDocument& Document() { return form->Document(); }

    QTemporaryDir dir; // the program's folder; outlives the window
    std::unique_ptr<TmainForm> form;
};

} // namespace testing_support
