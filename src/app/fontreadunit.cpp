#include "fontreadunit.h"

#include <utility>

#include <QComboBox>
#include <QPushButton>
#include <QShowEvent>

#include "mainunit.h"
#include "model/titlestyle.h"
#include "settings/inifile.h"
#include "widgets/application.h"

TFrmfontRead::TFrmfontRead(TmainForm& form, TSlotSession session)
    : TSlotDialog(form, std::move(session), QStringLiteral("設定の読み込み"),
                  QStringLiteral("領域を選択してください。"), 182) {
    setObjectName(QStringLiteral("FrmfontRead"));
    connect(Button1, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { Button1Click(); }); });
}

void TFrmfontRead::showEvent(QShowEvent* event) {
    TSlotDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFrmfontRead::FormShow() {
    Prepare();
}

void TFrmfontRead::Button1Click() {
    LoadSlot(SelectedSlot());
    accept();
}

void TFrmfontRead::LoadSlot(int slot) {
    const TSlotSettings settings = ReadSlot(TIniFile(FForm.SettingsFileName()), slot);
    for (int k = 0; k < SheetFontCount; ++k) {
        TFont font = FForm.FontDialog(TSheetFont(k)).Font();
        font.SetName(settings.Fonts[k].Name);
        font.SetStyle(settings.Fonts[k].Style);
        FForm.FontDialog(TSheetFont(k)).Font().Assign(font);
    }
    for (int c = 0; c < SheetColorCount; ++c)
        FForm.ColorDialog(TSheetColor(c)).SetColor(settings.Colors[c]);
    FSession.CurrentSlot = slot;
    // A style outside the list (a file edited by hand) selects the first style rather than
    // none, which would leave the titles empty. Setting the index is not a choice of the
    // user, so the change handler does not run.
    FForm.ComboBox3->setCurrentIndex(StoredTitleStyle(settings.TitleStyle));
    FSession.Changed = false;
}
