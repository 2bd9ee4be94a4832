// The game's files on Windows, where opening a pipe by a file name does not
// wait for a writer: the kind and size are read from the open file. Names go
// to the system in UTF-16, so that a folder of any language opens.
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "winapi/files.h"

namespace winapi {

std::FILE* OpenForReading(const std::string& path, FileProblem* problem) {
    std::FILE* file = _wfopen(PathOf(path).c_str(), L"rb");
    if (file == nullptr) {
        *problem = errno == ENOENT ? FileProblem(FileProblem::kMissing) : FileProblem(FileProblem::kUnreadable, errno);
        return nullptr;
    }
    struct _stat64 st;
    *problem = FileProblem::kNone;
    if (_fstat64(_fileno(file), &st) != 0) *problem = FileProblem(FileProblem::kUnreadable, errno);
    else if ((st.st_mode & _S_IFMT) != _S_IFREG) *problem = FileProblem::kNotRegular;
    else if (st.st_size > kMaxReadBytes) *problem = FileProblem::kTooLarge;
    if (*problem == FileProblem::kNone) return file;
    std::fclose(file);
    return nullptr;
}

bool SyncToDisk(std::FILE* file) { return _commit(_fileno(file)) == 0; }

}  // namespace winapi
