#pragma once

// The floor of loading a file: open it, allocate its size and read it in one
// call, as no loader can do less.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

// False when the file could not be read whole.
inline bool ReadWholeFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return false;
    const auto bytes = static_cast<size_t>(::lseek(fd, 0, SEEK_END));
    auto* buffer = static_cast<unsigned char*>(std::malloc(bytes ? bytes : 1));
    const bool whole = ::pread(fd, buffer, bytes, 0) == static_cast<ssize_t>(bytes);
    benchmark::DoNotOptimize(buffer[bytes / 2]);
    std::free(buffer);
    ::close(fd);
    return whole;
}
