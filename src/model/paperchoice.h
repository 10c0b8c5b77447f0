// The paper the year sheet is printed on: A4 as it was laid out, or a larger or smaller paper
// onto which the whole sheet is scaled. The choice is the user's, made in the preview window
// or on tamurika-export's command line, and kept in the program's state file (section "paper",
// key "size"), not in tamurika.ini.
#pragma once

#include <array>
#include <optional>

#include <QString>

#include "report/lrdocument.h"

/// The papers offered, in the order the preview window lists them; A4 first, the sheet's own.
inline constexpr std::array<TPaperSize, 6> SheetPapers = {psA4, psA3, psB4, psB5, psA5, psLetter};

/// The paper's name on the command line and in the state file: "A4", "A3", "B4", "B5", "A5",
/// "Letter" (B4 and B5 are JIS sizes).
QString PaperName(TPaperSize paper);
/// The paper of that name, whatever its case; nullopt for anything else.
std::optional<TPaperSize> PaperByName(const QString& name);
/// The paper as the preview window shows it ("A4" .. "A5", "レター").
QString PaperCaption(TPaperSize paper);

/// The paper chosen last by the program whose folder is `appPath`; A4 when none was chosen or
/// the state file says something else.
TPaperSize ReadPaperChoice(const QString& appPath);
/// Keeps `paper` as the choice; raises EIniFileException when the state file cannot be written.
void WritePaperChoice(const QString& appPath, TPaperSize paper);
