// The game's files on POSIX systems: opened with O_NONBLOCK so that a FIFO
// cannot hold the open, then the kind and size read from the open descriptor.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "winapi/files.h"

namespace winapi {

std::FILE* OpenForReading(const std::string& path, FileProblem* problem) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        *problem = errno == ENOENT || errno == ENOTDIR ? FileProblem(FileProblem::kMissing)
                                                       : FileProblem(FileProblem::kUnreadable, errno);
        return nullptr;
    }
    struct stat st;
    *problem = FileProblem::kNone;
    if (fstat(fd, &st) != 0) *problem = FileProblem(FileProblem::kUnreadable, errno);
    else if (!S_ISREG(st.st_mode)) *problem = FileProblem::kNotRegular;
    else if (st.st_size > kMaxReadBytes) *problem = FileProblem::kTooLarge;
    // A regular file reads the same either way; blocking reads keep stdio simple.
    else if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        *problem = FileProblem(FileProblem::kUnreadable, errno);
    std::FILE* file = *problem == FileProblem::kNone ? fdopen(fd, "rb") : nullptr;
    if (file == nullptr) {
        if (*problem == FileProblem::kNone) *problem = FileProblem(FileProblem::kUnreadable, errno);
        ::close(fd);
    }
    return file;
}

bool SyncToDisk(std::FILE* file) { return fsync(fileno(file)) == 0; }

}  // namespace winapi
