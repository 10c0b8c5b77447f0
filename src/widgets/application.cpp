#include "application.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include <langinfo.h>

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

#include "photo/decodernotes.h"
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

namespace {

QtMessageHandler QtDefaultHandler = nullptr;

void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg &&
        (message.startsWith(QLatin1String("QStandardPaths:")) ||
         TDecoderNotes::Take(context, message) || IsImageReaderMessage(context, message)))
        return;
    QtDefaultHandler(type, context, message);
}

} // namespace

void QuietenLibraryMessages() {
    QtMessageHandler previous = qInstallMessageHandler(QuietHandler);
    if (previous != QuietHandler)
        QtDefaultHandler = previous;
}

void UseUtf8CharacterType() {
    // A variable that names a locale this machine lacks makes the whole environment fail, and
    // the program would run in the C locale: each such one goes, LANG becoming C.UTF-8.
    const auto available = [](const char* name) {
        const locale_t locale = newlocale(LC_ALL_MASK, name, locale_t{});
        if (locale != locale_t{})
            freelocale(locale);
        return locale != locale_t{};
    };
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LC_COLLATE", "LC_MESSAGES", "LC_MONETARY",
                                 "LC_NUMERIC", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value == nullptr || *value == '\0' || available(value))
            continue;
        if (std::strcmp(variable, "LANG") == 0)
            setenv(variable, "C.UTF-8", 1);
        else
            unsetenv(variable);
    }
    std::setlocale(LC_ALL, "");
    const char* codeset = nl_langinfo(CODESET);
    if (codeset != nullptr && std::strcmp(codeset, "UTF-8") == 0)
        return;
    // The application object sets the locale from the environment again, so the environment
    // is what must say it. LC_ALL would override LC_CTYPE: its value goes to each of the other
    // categories instead, which keep what it made them.
    if (const char* all = std::getenv("LC_ALL"); all != nullptr && *all != '\0') {
        const std::string value = all;
        for (const char* category :
             {"LC_COLLATE", "LC_MESSAGES", "LC_MONETARY", "LC_NUMERIC", "LC_TIME"})
            setenv(category, value.c_str(), 1);
        unsetenv("LC_ALL");
    }
    setenv("LC_CTYPE", "C.UTF-8", 1);
    std::setlocale(LC_ALL, "");
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

QDialogButtonBox* OkCancelButtons(QDialog& dialog, QPushButton** ok, QPushButton** cancel) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    LabelButtonsInJapanese(*buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (ok != nullptr)
        *ok = buttons->button(QDialogButtonBox::Ok);
    if (cancel != nullptr)
        *cancel = buttons->button(QDialogButtonBox::Cancel);
    return buttons;
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
