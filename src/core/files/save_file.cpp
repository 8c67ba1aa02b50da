#include "files/save_file.h"

#include "files/safe_file.h"

namespace marovi {

void SaveReplacing(const std::string& path, const std::function<void(TByteWriter&)>& write)
{
    TSafeFile file(path);
    TByteWriter w(file);
    write(w);
    w.Flush();
    file.Commit();
}

} // namespace marovi
