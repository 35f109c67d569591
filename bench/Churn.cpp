// pixmora_bench_churn BYTES: another program on the machine that allocates
// BYTES, writes every page of it and frees it again, so that the next
// process timed does not start on memory the kernel has just freed for it.

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char** argv)
{
    char* end = nullptr;
    const unsigned long long bytes = argc == 2 ? std::strtoull(argv[1], &end, 10) : 0;
    if (argc != 2 || !end || *end != '\0' || bytes == 0) {
        std::fprintf(stderr, "usage: pixmora_bench_churn BYTES\n");
        return 1;
    }
    auto* memory = static_cast<volatile unsigned char*>(std::malloc(bytes));
    if (!memory) {
        std::fprintf(stderr, "pixmora_bench_churn: cannot allocate %llu bytes\n", bytes);
        return 1;
    }
    const auto page = static_cast<unsigned long long>(::sysconf(_SC_PAGESIZE));
    for (unsigned long long at = 0; at < bytes; at += page)
        memory[at] = static_cast<unsigned char>(at / page);
    memory[bytes - 1] = 1;
    std::free(const_cast<unsigned char*>(memory));
    return 0;
}
