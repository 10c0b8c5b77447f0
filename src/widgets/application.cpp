#include "application.h"

#include <memory>

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

#include "platform/exception.h"

namespace {

const QString QtCatalogue = QStringLiteral("qtbase_ja");

struct ButtonText {
    QDialogButtonBox::StandardButton Button;
    const char16_t* Text;
};
constexpr ButtonText JapaneseButtonTexts[] = {
    {QDialogButtonBox::Yes, u"はい"},
    {QDialogButtonBox::No, u"いいえ"},
    {QDialogButtonBox::Cancel, u"キャンセル"},
};

} // namespace

QStringList TranslationFolders() {
    const QString program = QCoreApplication::applicationDirPath();
    return {QLibraryInfo::path(QLibraryInfo::TranslationsPath), program,
            QDir::cleanPath(program + QStringLiteral("/../share/tamurika")),
            QDir::cleanPath(program + QStringLiteral("/../share/tamurika/translations"))};
}

bool UseJapanese() {
    // Dates and numbers in Qt's dialogs (the file list, the copies of the print dialog) as a
    // Japanese desktop shows them. What the program prints never goes through the default
    // locale: its numbers and weekday names are its own.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    for (const QString& folder : TranslationFolders()) {
        if (folder.isEmpty() ||
            !QFileInfo::exists(folder + u'/' + QtCatalogue + QStringLiteral(".qm")))
            continue;
        auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
        if (translator->load(QtCatalogue, folder) &&
            QCoreApplication::installTranslator(translator.get())) {
            translator.release(); // owned by the application object
            return true;
        }
    }
    return false;
}

void LabelButtonsInJapanese(QDialogButtonBox& buttons) {
    for (const ButtonText& b : JapaneseButtonTexts)
        if (QPushButton* button = buttons.button(b.Button))
            button->setText(QString::fromUtf16(b.Text));
}

void LabelButtonsInJapanese(QMessageBox& box) {
    for (const ButtonText& b : JapaneseButtonTexts)
        if (QAbstractButton* button = box.button(QMessageBox::StandardButton(int(b.Button))))
            button->setText(QString::fromUtf16(b.Text));
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    RegisterFontSubstitutes();
    UseJapanese();
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowException(error);
    }
    return false;
}

void RunGuarded(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& error) {
        TApplication::ShowException(error);
    }
}

void TApplication::ShowException(const std::exception& error) {
    const auto* own = dynamic_cast<const Exception*>(&error);
    const QString message = own != nullptr ? own->Message() : QString::fromUtf8(error.what());
    QMessageBox::critical(activeWindow(), applicationDisplayName(), message);
}
