// What the user is told after a print job was handed over: where it went. The preview window
// closes after printing, so the main window's status bar says it.
#pragma once

#include <QString>

struct TJobDestination;

/// "「キュー名」に 2 部送りました" for a queue, "「/path/カレンダー2027.pdf」に保存しました" for
/// a PDF file the print dialog chose, "1 部印刷しました" for a printer without queues.
QString JobSentMessage(const TJobDestination& destination);
