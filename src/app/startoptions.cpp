#include "startoptions.h"

#include <cstdio>

#include <QFileInfo>
#include <QTimer>

#include "mainunit.h"
#include "platform/version.h"
#include "widgets/application.h"

QString StartUsage() {
    return QStringLiteral(
        "使い方: tamurika [画像ファイル]\n"
        "  写真入りの一枚ものの年間カレンダーを作って印刷するウィンドウを開きます。\n"
        "  画像ファイルを指定すると、「画像の読み込み」と同じようにその画像を読み込んで始めます。\n"
        "  tamurika --help     この説明を表示します。\n"
        "  tamurika --version  バージョンを表示します。\n");
}

TStartOptions ParseStartArguments(const QStringList& arguments) {
    TStartOptions options;
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (!optionsEnded && argument == u"--") {
            optionsEnded = true;
        } else if (!optionsEnded && (argument == u"--help" || argument == u"-h")) {
            options.Mode = TStartOptions::TMode::Help;
        } else if (!optionsEnded && argument == u"--version") {
            options.Mode = TStartOptions::TMode::Version;
        } else if (!optionsEnded && argument.startsWith(u'-') && argument != u"-") {
            throw EStartUsage(QStringLiteral("不明な引数です: %1").arg(argument));
        } else if (argument.isEmpty()) {
            throw EStartUsage(QStringLiteral("画像ファイルの名前が空です。"));
        } else if (!options.PictureFile.isEmpty()) {
            throw EStartUsage(
                QStringLiteral("画像ファイルは一つだけ指定してください: %1").arg(argument));
        } else {
            options.PictureFile = QFileInfo(argument).absoluteFilePath();
        }
    }
    if (options.Mode != TStartOptions::TMode::Window)
        options.PictureFile.clear();
    return options;
}

namespace {

void Print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

std::optional<int> Answer(const TStartOptions& options) {
    switch (options.Mode) {
    case TStartOptions::TMode::Help:
        Print(stdout, StartUsage());
        return 0;
    case TStartOptions::TMode::Version:
        Print(stdout, VersionText(QStringLiteral("tamurika")));
        return 0;
    case TStartOptions::TMode::Window:
        break;
    }
    return std::nullopt;
}

} // namespace

std::optional<int> AnswerWithoutWindow(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    try {
        return Answer(ParseStartArguments(arguments));
    } catch (const EStartUsage&) {
        // Perhaps one of Qt's own options, which only the application object takes out.
        return std::nullopt;
    }
}

std::optional<int> AnswerStartArguments(const QStringList& arguments, QString& pictureFile) {
    TStartOptions options;
    try {
        options = ParseStartArguments(arguments);
    } catch (const EStartUsage& e) {
        Print(stderr, QStringLiteral("tamurika: ") + e.Message() + u'\n' + StartUsage());
        return 2;
    }
    pictureFile = options.PictureFile;
    return Answer(options);
}

void LoadPictureAtStart(TmainForm& form, const QString& fileName) {
    if (fileName.isEmpty())
        return;
    QTimer::singleShot(0, &form, [&form, fileName] {
        RunGuarded([&form, &fileName] { form.LoadPictureFile(fileName); });
    });
}
