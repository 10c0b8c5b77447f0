// A PDF file looked at by the programs that read it after us: poppler's pdfimages (what
// pictures it holds, and their data), and whether poppler, Ghostscript, qpdf and the CUPS
// filters read it without a word of complaint.
#pragma once

#include <vector>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace testing_support {

/// One line of `pdfimages -list`.
struct TPdfImage {
    QString Type;  // "image", "smask", ...
    int Width = 0; // pixels
    int Height = 0;
    QString Color; // "rgb", "gray", "cmyk", "icc", ...
    int Components = 0;
    QString Encoding; // "jpeg", "image" (Flate), ...
    bool Interpolated = false;
};

inline std::vector<TPdfImage> PdfImages(const QString& pdf) {
    std::vector<TPdfImage> images;
    QProcess process;
    process.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return images;
    // "page num type width height color comp bpc enc interp object ID ...", a rule, the lines.
    const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split(u'\n');
    for (const QString& line : lines.mid(2)) {
        const QStringList f = line.simplified().split(u' ');
        if (f.size() < 10)
            continue;
        images.push_back({f[2], f[3].toInt(), f[4].toInt(), f[5], f[6].toInt(), f[8],
                          f[9] == QLatin1String("yes")});
    }
    return images;
}

/// The data of the PDF's pictures as `pdfimages -j` writes them (a JPEG's own bytes), in
/// order; written into `workDir`.
inline std::vector<QByteArray> PdfJpegData(const QString& pdf, const QString& workDir) {
    std::vector<QByteArray> data;
    const QString prefix = QDir(workDir).filePath(QStringLiteral("extracted"));
    QProcess process;
    process.start(QStringLiteral("pdfimages"), {QStringLiteral("-j"), pdf, prefix});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return data;
    const QStringList files =
        QDir(workDir).entryList({QStringLiteral("extracted-*")}, QDir::Files, QDir::Name);
    for (const QString& name : files) {
        QFile f(QDir(workDir).filePath(name));
        if (f.open(QIODevice::ReadOnly))
            data.push_back(f.readAll());
        f.remove();
    }
    return data;
}

/// Runs a program; its exit code, and in `output` its standard output and error together.
/// With `errorsOnly`, standard output (a filter's product) is thrown away.
inline int RunReader(const QString& program, const QStringList& args, QString* output,
                     const QStringList& environment = {}, bool errorsOnly = false) {
    QProcess process;
    if (errorsOnly)
        process.setStandardOutputFile(QProcess::nullDevice());
    else
        process.setProcessChannelMode(QProcess::MergedChannels);
    if (!environment.isEmpty())
        process.setEnvironment(QProcess::systemEnvironment() + environment);
    process.start(program, args);
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        *output = program + QStringLiteral(": did not finish");
        return -1;
    }
    *output =
        QString::fromLocal8Bit(errorsOnly ? process.readAllStandardError() : process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

/// What poppler (pdftoppm, pdfimages), Ghostscript, qpdf and the CUPS filters pdftopdf and
/// gstoraster say about `pdf` beyond reading it: empty when every one reads it in silence.
inline QString PdfReaderComplaints(const QString& pdf, const QString& workDir) {
    QString complaints;
    QString out;
    const auto note = [&complaints](const QString& who, int code, const QString& said) {
        if (code != 0 || !said.trimmed().isEmpty())
            complaints += who + QStringLiteral(" (exit %1): ").arg(code) + said.trimmed() + u'\n';
    };
    const QString raster = QDir(workDir).filePath(QStringLiteral("check"));
    note(QStringLiteral("pdftoppm"),
         RunReader(QStringLiteral("pdftoppm"),
                   {QStringLiteral("-r"), QStringLiteral("30"), pdf, raster}, &out),
         out);
    note(QStringLiteral("pdfimages"),
         RunReader(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}, &out, {}, true),
         out);
    note(QStringLiteral("gs"),
         RunReader(QStringLiteral("gs"),
                   {QStringLiteral("-q"), QStringLiteral("-dNOPAUSE"), QStringLiteral("-dBATCH"),
                    QStringLiteral("-dSAFER"), QStringLiteral("-sDEVICE=nullpage"), pdf},
                   &out),
         out);
    const int qpdf = RunReader(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf}, &out);
    if (qpdf != 0 || out.contains(QLatin1String("WARNING")))
        complaints += QStringLiteral("qpdf --check: ") + out.trimmed() + u'\n';
    // The CUPS filters say a great deal on standard error ("DEBUG: ..."); only their errors
    // and warnings count.
    const QStringList job = {QStringLiteral("1"),
                             QStringLiteral("user"),
                             QStringLiteral("title"),
                             QStringLiteral("1"),
                             QString(),
                             pdf};
    for (const QString& filter : {QStringLiteral("pdftopdf"), QStringLiteral("gstoraster")}) {
        const int code =
            RunReader(QStringLiteral("/usr/lib/cups/filter/") + filter, job, &out,
                      {QStringLiteral("CONTENT_TYPE=application/pdf"),
                       QStringLiteral("FINAL_CONTENT_TYPE=application/vnd.cups-raster")},
                      true);
        QString said;
        for (const QString& line : out.split(u'\n'))
            if (line.startsWith(QLatin1String("ERROR")) ||
                line.startsWith(QLatin1String("WARNING")))
                said += line + u'\n';
        note(filter, code, said);
    }
    return complaints;
}

} // namespace testing_support
