#include "syserrors.h"

EReadError::EReadError() : Exception(QStringLiteral("ストリーム読み込みエラー")) {}

EWriteError::EWriteError() : Exception(QStringLiteral("ストリーム書き込みエラー")) {}

EOutOfMemory::EOutOfMemory() : Exception(QStringLiteral("メモリが不足しています")) {}
