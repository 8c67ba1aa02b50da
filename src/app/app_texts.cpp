#include "app_texts.h"

#include <string>

#include "util/format.h"

namespace marovi::app {

namespace {
const std::string Letter(1, FormatLetter);
}

QString StartCaption()
{
    return QString::fromStdString(Format("MAROVI %s, core %s.%s", {ProgramVersion, CoreVersion, Letter}));
}

QString ActiveCaption(const std::string& fileName)
{
    return QString::fromStdString(
        Format("MAROVI %s, core %s.%s file %s", {ProgramVersion, CoreVersion, Letter, fileName}));
}

QString FileCaption(const std::string& fileName)
{
    return QString::fromStdString(Format("MAROVI %s, core %s file %s", {ProgramVersion, CoreVersion, fileName}));
}

} // namespace marovi::app
