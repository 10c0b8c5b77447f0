// The about box "ﾊﾞｰｼﾞｮﾝ情報": the program's name, version and purpose.
#pragma once

#include <QDialog>

class QPushButton;

/// The program's version number ("1.0"), as project() in CMakeLists.txt sets it; the about box,
/// "tamurika --version" and "tamurika-export --version" show it.
QString ProgramVersion();

class TverForm : public QDialog {
    Q_OBJECT

  public:
    explicit TverForm(QWidget* parent = nullptr);

    QPushButton* OKButton;
};
