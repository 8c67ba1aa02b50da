#pragma once
#include <functional>
#include <string>

#include "files/byte_io.h"

namespace marovi {

// Writes a file through TSafeFile: the target is replaced only when every byte was written;
// on failure any old file stays as it was and marovi::Error names the file.
void SaveReplacing(const std::string& path, const std::function<void(TByteWriter&)>& write);

} // namespace marovi
