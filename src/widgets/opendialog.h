// The file-open dialog of the class library: a filter in its "description|patterns" form, the
// name of the file chosen last, and the folder it starts in.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

class TOpenDialog {
  public:
    /// Pairs of description and patterns, all joined by "|"; patterns are joined by ";"
    /// ("画像ファイル(bmp,jpg,jpeg)|*.BMP;*.jpg;*.jpeg").
    QString Filter;
    /// The file chosen last; empty before the first choice.
    QString FileName;
    QString Title;
    /// The folder to start in while FileName names none (a folder remembered from an earlier
    /// run, for example); empty for the user's pictures folder.
    QString InitialDir;

    /// Shows the dialog modally, starting in StartFolder() with FileName's file selected
    /// when it is there. True when the user chose an existing file, which FileName then names.
    bool Execute(QWidget* parent);

    /// The folder Execute starts in: FileName's folder, else InitialDir; a folder that is
    /// gone gives way to its nearest parent that is still there, and when that is only the
    /// root of the file system, or there is no folder at all, to the user's pictures folder
    /// or, without one, the home folder.
    QString StartFolder() const;

    /// The filter as the toolkit's dialog takes it: one "description (patterns)" entry per
    /// pair. Patterns match without regard to case, so "*.jpg" also finds "PHOTO.JPG".
    static QStringList NameFilters(const QString& filter);
};
