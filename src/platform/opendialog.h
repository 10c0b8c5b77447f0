// The file-open dialog of the class library: a filter in its "description|patterns" form and
// the name of the file chosen last.
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

    /// Shows the dialog modally, starting in the folder of FileName. True when the user chose
    /// an existing file, which FileName then names.
    bool Execute(QWidget* parent);

    /// The filter as the toolkit's dialog takes it: one "description (patterns)" entry per
    /// pair. Patterns match without regard to case, so "*.jpg" also finds "PHOTO.JPG".
    static QStringList NameFilters(const QString& filter);
};
