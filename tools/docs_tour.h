#pragma once
#include <QString>

namespace marovi::tour {

// The images of the user guide, made on the worked example of the guide, which is built
// through the editors and saved as `example` before it runs. Returns the exit status.
int DocsTour(const QString& imageDir, const QString& example);

} // namespace marovi::tour
