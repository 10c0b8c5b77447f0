// The print position: how far the sheet is moved left or right on the paper, in design units
// (1/96 inch), kept in senoruta.ini (section "senoruta", key "LRichi") in the settings folder,
// as the first version of the program kept it.
#pragma once

#include <QString>

/// The print-position file and its one key.
inline const QString PrintPositionIniName = QStringLiteral("senoruta.ini");
inline const QString PrintPositionSection = QStringLiteral("senoruta");
inline const QString PrintPositionKey = QStringLiteral("LRichi");

/// How far the sheet may be moved left or right on the paper, in design units.
inline constexpr int SheetMaxPosition = 10;

/// The print-position file of the program whose folder is `appPath`.
QString PrintPositionFileName(const QString& appPath);

/// The stored print position of the program whose folder is `appPath`, clamped to
/// −10..10; 0 when the file, section or key is missing.
int ReadPrintPosition(const QString& appPath);

/// Keeps `position`; raises EIniFileException when the file cannot be written.
void WritePrintPosition(const QString& appPath, int position);
