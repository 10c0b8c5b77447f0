// Driving modal dialogs from a test: the handler under test opens a dialog and runs its own
// event loop; a timer finds the dialog there and answers it as a user would.
#pragma once

#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

namespace testing_support {

/// Runs `answer` on the next modal window that opens (other than `except` while it lives). The
/// returned flag turns true once it ran, so that a test can tell that the dialog appeared at all.
/// Polling stops after a minute: a composition with a large photo under the sanitizers on a busy
/// machine takes more than ten seconds before its preview opens, and a dialog no one answers hangs
/// the test.
inline std::shared_ptr<bool> WhenModal(std::function<void(QWidget*)> answer,
                                       QWidget* except = nullptr) {
    auto seen = std::make_shared<bool>(false);
    auto* timer = new QTimer(qApp);
    timer->setObjectName(QStringLiteral("PendingModalAnswer"));
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    // Held weakly: once `except` is gone, another window may take its address.
    const QPointer<QWidget> other(except);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal != other.data() && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            *seen = true;
            answer(modal);
        } else if (clock->elapsed() > 60000) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(5);
    return seen;
}

/// Stops every answer still waiting for its dialog, so that it cannot answer a later one.
/// Answers the next modal window, a file dialog, by choosing `file` in it.
inline std::shared_ptr<bool> ChooseInFileDialog(const QString& file) {
    return WhenModal([file](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->selectFile(file);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

inline void CancelPendingAnswers() {
    for (QTimer* timer : qApp->findChildren<QTimer*>(QStringLiteral("PendingModalAnswer"),
                                                     Qt::FindDirectChildrenOnly)) {
        timer->stop();
        timer->deleteLater();
        timer->setObjectName(QString());
    }
}

/// Answers the next message box with `button`, keeping its text in `*text` when given.
inline std::shared_ptr<bool> AnswerMessage(QMessageBox::StandardButton button,
                                           QString* text = nullptr, QWidget* except = nullptr) {
    return WhenModal(
        [button, text](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (box == nullptr) {
                w->close();
                return;
            }
            if (text != nullptr)
                *text = box->text();
            QAbstractButton* b = box->button(button);
            if (b != nullptr)
                b->click();
            else
                box->close();
        },
        except);
}

/// Triggers `action`, a menu command that opens a dialog of class `D` (named `what` in a
/// failure), and lets `answer` work that dialog. True when the dialog appeared.
template <class D>
bool RunMenuDialog(QAction* action, const char* what, const std::function<void(D*)>& answer) {
    auto seen = WhenModal([answer, what](QWidget* w) {
        auto* dialog = qobject_cast<D*>(w);
        if (dialog == nullptr) {
            ADD_FAILURE() << "not the " << what << " dialog: " << w->metaObject()->className();
            w->close();
            return;
        }
        answer(dialog);
    });
    action->trigger();
    return *seen;
}

} // namespace testing_support
