// The class library's edit masks, as FormatMaskText applies them to a stored value. A mask has
// up to three fields separated by ";": the mask itself; "1" (the default) when the value holds
// the mask's literal characters, "0" when it holds only what was typed; and the character shown
// for positions the value does not fill ("_" by default).
//
// Mask characters: L letter, l letter if any, A letter or digit, a letter or digit if any,
// C any character, c any character if any, 0 digit, 9 digit if any, # digit or sign if any;
// > upper case from here, < lower case, <> as typed; \ takes the next character literally;
// ! is accepted and ignored; _ is a blank; anything else (":", "/", "-", "(", ...) is literal.
#pragma once

#include <QString>

QString FormatMaskText(const QString& editMask, const QString& value);
