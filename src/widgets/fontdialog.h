// The font dialog of the class library, as the program uses it: it holds one font, and its
// chooser lets the user pick only the face and bold/italic; the size stays the one the font
// was given (each text of the sheet has its fixed size).
#pragma once

#include <QDialog>

#include "platform/font.h"

class QLabel;
class QListWidget;

class TFontDialog {
  public:
    /// The font held: the current choice, read and set by the program.
    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }
    /// Offers the face alone, for a text whose style and size are not the user's to choose
    /// (they follow from where it is printed); the sample shows the held font's size.
    bool FaceOnly = false;

    /// Shows the chooser modally on the held font. True when the user confirmed; the held font
    /// then has the chosen face and style. Cancelling leaves it unchanged.
    bool Execute(QWidget* parent);

  private:
    TFont FFont;
};

/// The modal chooser behind TFontDialog: faces (Japanese-capable faces first), the four styles
/// and the one fixed size, with a sample.
class TFontChooser : public QDialog {
    Q_OBJECT

  public:
    /// `faceOnly`: the style and size are not offered, nor shown.
    TFontChooser(const TFont& font, QWidget* parent = nullptr, bool faceOnly = false);

    /// The chosen face and style (bold and italic only).
    QString Face() const;
    TFontStyles Style() const;
    /// Selects a face; a face not in the list is added at its top.
    void SetFace(const QString& face);
    void SetStyle(TFontStyles style);

    /// Faces in the order the chooser lists them: the "ＭＳ" faces the settings name, then the
    /// installed faces that write Japanese, then all others.
    static QStringList FaceList();

  private:
    void UpdateSample();

    TFont FFont;
    QListWidget* FFaces;
    QListWidget* FStyles;
    QLabel* FSample;
};
