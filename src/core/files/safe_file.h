#pragma once
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace marovi {

// A file written beside its target and put in place only when complete, so that a failed
// save never destroys the previous file. Without Commit the temporary file is removed.
class TSafeFile {
public:
    explicit TSafeFile(std::string path);
    ~TSafeFile();
    TSafeFile(const TSafeFile&) = delete;
    TSafeFile& operator=(const TSafeFile&) = delete;

    void Write(std::string_view bytes);
    // Writes one text line ended by CR LF.
    void WriteLine(std::string_view line);
    // Closes the temporary file and renames it to the target; throws marovi::Error on failure.
    void Commit();
    // Removes the temporary file (also done by the destructor when not committed).
    void Discard();

    const std::string& Path() const { return path_; }

private:
    void Fail(const char* what);
    std::string path_;
    std::string temp_;
    std::FILE* file_ = nullptr;
};

// Writes the lines, each ended by CR LF, through a TSafeFile.
void WriteTextLines(const std::string& path, const std::vector<std::string>& lines);

} // namespace marovi
