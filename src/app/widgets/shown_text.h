#pragma once
#include <QString>
#include <string>

namespace marovi::app {

// A text of the program for a label or message box: its CR line breaks become new lines.
inline QString ShownText(const std::string& text)
{
    return QString::fromStdString(text).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

} // namespace marovi::app
