// The about box "ﾊﾞｰｼﾞｮﾝ情報": the program's name, version and purpose.
#pragma once

#include <QDialog>

class QPushButton;

class TverForm : public QDialog {
    Q_OBJECT

  public:
    explicit TverForm(QWidget* parent = nullptr);

    QPushButton* OKButton;
};
