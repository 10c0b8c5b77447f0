// Numbers written in full-width digits ("１２"), as printed month titles show them.
#pragma once

#include <QString>

/// The decimal digits of a number as full-width digits "０" .. "９"; a minus sign stays as it is.
QString FullWidthDigits(int number);
