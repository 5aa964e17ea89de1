#include "common/standard_descriptors.h"

#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

bool ReopenClosedStandardDescriptors(unsigned* closed) {
    *closed = 0;
#ifndef _WIN32
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) {
            continue;
        }
        // Read and write, as a terminal would be: whichever way the stream is used, it works.
        // The lower descriptors are open by now, so open() returns `fd` itself.
        const int opened = open("/dev/null", O_RDWR | O_NOCTTY);
        if (opened < 0) {
            return false;
        }
        if (opened != fd) {
            const bool moved = dup2(opened, fd) == fd;
            const int error = errno;
            close(opened);
            if (!moved) {
                errno = error;
                return false;
            }
        }
        *closed |= 1u << fd;
    }
#endif
    return true;
}
