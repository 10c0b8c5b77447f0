// Reading and writing bitmaps: the Windows bitmap file format and the packed DIB of the
// clipboard. Input is treated as hostile: every read is checked against the bytes left, sizes
// are capped before anything is allocated, and each refusal names what was wrong.
#pragma once

#include <QByteArray>

#include "dibinfo.h"

class QIODevice;

/// Reads a bitmap file (file header, info or core header, colour table, pixels). 16- and
/// 32-bit pixels are converted to 24 bits; compressed pixels stay compressed.
TDIBInfo ReadDIBFile(QIODevice& stream, bool UseFMO);

/// Reads a packed DIB: an info or core header, the colour table and the pixels, no file header.
TDIBInfo ReadPackedDIB(const QByteArray& data, bool UseFMO);

/// Writes `info` as a bitmap file. Raises EWriteError when the stream takes fewer bytes.
void WriteDIBFile(const TDIBInfo& info, QIODevice& stream);

/// `info` as a packed DIB.
QByteArray WritePackedDIB(const TDIBInfo& info);
