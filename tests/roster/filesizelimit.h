// SPDX-License-Identifier: MIT
#pragma once
// A full disk without root: while a FileSizeLimit lives, no file this process writes grows beyond the
// given size, and (SIGXFSZ ignored) a write past it fails with "File too large" instead of ending the process.
#include <csignal>
#include <sys/resource.h>

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        const rlimit limit{bytes, saved_.rlim_max};
        active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }
    bool active() const { return active_; }

private:
    rlimit saved_{};
    bool active_ = false;
};
