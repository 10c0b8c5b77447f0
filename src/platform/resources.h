// Raw data compiled into the program (the old-calendar table and the like).
#pragma once

#include <QByteArray>
#include <QString>

/// The bytes of the embedded resource `name`, exactly as stored. Raises Exception when the
/// program was built without it.
QByteArray LoadRawResource(const QString& name);
