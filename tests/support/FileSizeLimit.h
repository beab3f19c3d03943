#pragma once

#include <sys/resource.h>

// Stands in for a disk that fills: while it lives, no file of this process can grow past
// `bytes`, and writes beyond that fail instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous{};
};
