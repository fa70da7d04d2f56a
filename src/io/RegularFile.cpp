#include "io/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kyklos {

std::FILE* OpenRegularFile(const std::string& path)
{
    // Opening a FIFO for reading waits until a writer comes, perhaps forever;
    // O_NONBLOCK makes that open return at once, and a regular file ignores
    // the flag. The type is then checked on the descriptor itself, so the
    // path cannot be swapped for something else in between, and the flag is
    // cleared again so that the stream reads as any other.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info {};
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || flags < 0 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) ::close(fd);
    return file;
}

} // namespace kyklos
