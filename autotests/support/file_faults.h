#pragma once

#include <QtGlobal>

#ifdef Q_OS_WIN

namespace testsupport {

// Windows: programs run as a user the file permissions hold for; nothing to drop.
class Unprivileged {
public:
    bool ok() const { return true; }
};

// Windows has no limit on the size of the files a process writes: a FileSizeLimit here
// limits nothing, and says so (a test of a full disk is skipped then).
class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64 /*bytes*/) {}
    bool ok() const { return false; }
};

}  // namespace testsupport

#else

#include <sys/resource.h>
#include <unistd.h>
#include <csignal>

namespace testsupport {

// Runs a scope without the rights of root (as "nobody"), which would ignore permissions.
// The real ids change too, as access checks go by them; the saved ids stay root's, which
// lets the destructor change back. For a normal user it does nothing.
class Unprivileged {
public:
    Unprivileged() {
        if (geteuid() == 0) {
            dropped_ = setresgid(65534, 65534, 0) == 0 && setresuid(65534, 65534, 0) == 0;
            ok_ = dropped_;
        }
    }
    ~Unprivileged() {
        if (dropped_) {
            (void)setresuid(0, 0, 0);
            (void)setresgid(0, 0, 0);
        }
    }
    Unprivileged(const Unprivileged&) = delete;
    Unprivileged& operator=(const Unprivileged&) = delete;
    bool ok() const { return ok_; }

private:
    bool dropped_ = false;
    bool ok_ = true;
};

// Limits the size of any file the process writes, so that a write fails half-way (as on a
// full disk), whoever the process runs as.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        ok_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool ok() const { return ok_; }

private:
    bool ok_ = false;
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

}  // namespace testsupport

#endif
