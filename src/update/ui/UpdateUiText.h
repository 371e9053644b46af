#pragma once

#include "update/UpdateTexts.h"

#include <QString>

#include <string>

// The component's texts break lines with a lone carriage return as well as with CR LF
// and LF; Qt only knows LF.
inline QString DisplayText(const std::string& text) {
    QString out = QString::fromStdString(text);
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

inline QString DisplayText(int index) { return DisplayText(std::string(UpdateText(index))); }
