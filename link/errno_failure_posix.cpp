#include "link/errno_failure.h"

#include <cerrno>

OpenFailure FailureFromErrno(int err) {
    switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO: return OpenFailure::NotFound;
    case EACCES:
    case EPERM: return OpenFailure::AccessDenied;
    case EBUSY:
    case EWOULDBLOCK: return OpenFailure::Busy;
    default: return OpenFailure::Other;
    }
}
