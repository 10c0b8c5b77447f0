// The question asked before the sheet of a photo that prints coarsely (fewer than 150 pixels
// per inch), or whose data is partly damaged, is printed or saved as a PDF file, and the memory
// of the answer, so that the user is asked once for a photo and its framing, not at every
// print.
#pragma once

#include <memory>

#include "model/picturefit.h"

class QWidget;
class TGraphic;
struct TCalendarModel;

/// What the sheet is about to become.
enum class TCoarseOutput { Print, Pdf };

/// "Once" means: once for a photo as it was read and the part of it that shows. A "はい" is
/// remembered for that photo and framing, printing and saving alike, until another photo is
/// loaded or the photo is framed otherwise (which changes what prints coarsely); a "いいえ" is
/// not, so that the next print asks again. The main window keeps one for its run and lends it
/// to each preview window it opens; a preview window on its own keeps one while it is open.
class TCoarsePrintCheck {
  public:
    /// Whether the sheet of `model` may go on to `output`: its photo prints finely enough and
    /// was read without damage, the user agreed to this photo and framing before, or the user
    /// says "はい" now to the question asked over `parent` ("写真「NAME」は一部が壊れています
    /// （…）。帯状に乱れて印刷されることがあります。写真の解像度が低いため、印刷が粗くなります（約
    /// N ppi）。このまま印刷しますか？" / "…このまま保存しますか？", with the warnings that hold).
    bool Confirm(QWidget* parent, const TCalendarModel& model, TCoarseOutput output);

  private:
    std::shared_ptr<const TGraphic> FAgreedPhoto; // the photo the user agreed to; none yet
    TPictureFraming FAgreedFraming;
};
