#include "application.h"

#include <QFont>
#include <QMessageBox>

#include "exception.h"

void RegisterFontSubstitutes() {
    QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ 明朝"), QStringLiteral("IPAMincho"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("IPAPMincho"));
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    RegisterFontSubstitutes();
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowException(error);
    }
    return false;
}

void TApplication::ShowException(const std::exception& error) {
    const auto* own = dynamic_cast<const Exception*>(&error);
    const QString message = own != nullptr ? own->Message() : QString::fromUtf8(error.what());
    QMessageBox::critical(activeWindow(), applicationDisplayName(), message);
}
