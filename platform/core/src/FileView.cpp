// CFileView: read-only views of a file's pages, kept safe when the file shrinks.

#include "core/FileView.h"

#include <atomic>
#include <csignal>
#include <cstdint>
#include <limits>
#include <sys/mman.h>
#include <sys/types.h>
#include <unistd.h>

// A mapped page that the file no longer holds (it was truncated, or rewritten
// from the start, after the view was made) raises SIGBUS when it is touched.
// One process-wide handler covers every view: a fault inside a view maps zero
// pages over it from the faulting page on, and the access is retried; any
// other SIGBUS goes on to whatever handled it before, or to the default
// action. The handler finds the views in a fixed table that it reads without
// locks or allocation.

namespace {

// More views than this at once is not a real case (a view per open bitmap);
// one that finds no free slot is not made, and the caller copies instead.
constexpr int kSlots = 256;

struct Slot
{
    // begin 0: free. end 0: being filled or emptied, so nothing matches.
    std::atomic<uintptr_t> begin{0};
    std::atomic<uintptr_t> end{0};
};

Slot g_slots[kSlots];
uintptr_t g_pageSize = 4096;
struct sigaction g_previous
{
};

int ClaimSlot(uintptr_t begin, uintptr_t end)
{
    for (int i = 0; i < kSlots; ++i) {
        uintptr_t free = 0;
        if (g_slots[i].begin.compare_exchange_strong(free, begin)) {
            g_slots[i].end.store(end, std::memory_order_release);
            return i;
        }
    }
    return -1;
}

void ReleaseSlot(int i)
{
    g_slots[i].end.store(0, std::memory_order_release);
    g_slots[i].begin.store(0, std::memory_order_release);
}

// The end of the view holding `address`, or 0.
uintptr_t ViewEndAt(uintptr_t address)
{
    for (const Slot& slot : g_slots) {
        const uintptr_t begin = slot.begin.load(std::memory_order_acquire);
        const uintptr_t end = slot.end.load(std::memory_order_acquire);
        // The second look at begin rules out a slot emptied and refilled
        // between the two loads.
        if (begin <= address && address < end &&
            slot.begin.load(std::memory_order_acquire) == begin)
            return end;
    }
    return 0;
}

void PassOn(int signal, siginfo_t* info, void* context)
{
    if ((g_previous.sa_flags & SA_SIGINFO) != 0) {
        if (g_previous.sa_sigaction != nullptr) {
            g_previous.sa_sigaction(signal, info, context);
            return;
        }
    } else if (g_previous.sa_handler == SIG_IGN) {
        // A fault cannot be ignored: the kernel would deliver it again at once.
        if (info->si_code <= 0)
            return;
    } else if (g_previous.sa_handler != SIG_DFL) {
        g_previous.sa_handler(signal);
        return;
    }
    // The default action, as if this handler had never been there: a faulting
    // access faults again on return; a signal sent by a process is raised again.
    struct sigaction fallback
    {
    };
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(signal, &fallback, nullptr);
    if (info->si_code <= 0)
        ::raise(signal);
}

void OnBusError(int signal, siginfo_t* info, void* context)
{
    // si_code > 0: the kernel raised it for an access by this thread.
    if (info->si_code > 0) {
        const auto address = reinterpret_cast<uintptr_t>(info->si_addr);
        if (const uintptr_t end = ViewEndAt(address)) {
            // Whatever lies past the file's new end reads as zeros, as a
            // short file reads. Zeros to the end of the view rather than page
            // by page: one fault, however much is drawn after it.
            const uintptr_t page = address & ~(g_pageSize - 1);
            if (::mmap(reinterpret_cast<void*>(page), end - page, PROT_READ,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED)
                return;
        }
    }
    PassOn(signal, info, context);
}

bool InstallHandler()
{
    static const bool installed = [] {
        g_pageSize = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
        struct sigaction action
        {
        };
        action.sa_sigaction = &OnBusError;
        action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESTART;
        sigemptyset(&action.sa_mask);
        return ::sigaction(SIGBUS, &action, &g_previous) == 0;
    }();
    return installed;
}

} // namespace

std::unique_ptr<CFileView> CFileView::Map(int fd, ULONGLONG offset, size_t size)
{
    if (size == 0 || !InstallHandler())
        return nullptr;
    // A mapping starts on a page boundary; the range starts anywhere.
    const ULONGLONG lead = offset % g_pageSize;
    const ULONGLONG start = offset - lead;
    if (size > std::numeric_limits<size_t>::max() - lead ||
        start > static_cast<ULONGLONG>(std::numeric_limits<off_t>::max()))
        return nullptr;
    const size_t mappedBytes = size + static_cast<size_t>(lead);
    void* mapping =
        ::mmap(nullptr, mappedBytes, PROT_READ, MAP_PRIVATE, fd, static_cast<off_t>(start));
    if (mapping == MAP_FAILED)
        return nullptr;
    const auto begin = reinterpret_cast<uintptr_t>(mapping);
    const int slot = ClaimSlot(begin, begin + mappedBytes);
    if (slot < 0) {
        ::munmap(mapping, mappedBytes);
        return nullptr;
    }
    const BYTE* data = static_cast<const BYTE*>(mapping) + lead;
    return std::unique_ptr<CFileView>(new CFileView(mapping, mappedBytes, data, size, slot));
}

CFileView::~CFileView()
{
    ReleaseSlot(m_slot);
    ::munmap(m_mapping, m_mappedBytes);
}
