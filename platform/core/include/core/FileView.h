#pragma once

// A read-only view of a range of a file, straight from the page cache: only
// the pages that are touched are ever read, and nothing is copied.
//
// A view stays safe to read when the file shrinks under it (another program
// rewriting the file, say). The pages that the file no longer holds would
// fault; instead, from the first such page to the end of the view, the view
// reads as zeros from then on. Views come from CFile::MapView.

#include "core/Types.h"

#include <cstddef>
#include <memory>

class CFileView
{
public:
    // Maps `size` bytes at `offset` of the open file descriptor; null when
    // the range cannot be mapped. `size` must be at least 1.
    static std::unique_ptr<CFileView> Map(int fd, ULONGLONG offset, size_t size);
    ~CFileView();

    CFileView(const CFileView&) = delete;
    CFileView& operator=(const CFileView&) = delete;

    const BYTE* GetData() const { return m_data; }
    size_t GetSize() const { return m_size; }

private:
    CFileView(void* mapping, size_t mappedBytes, const BYTE* data, size_t size, int slot)
        : m_mapping(mapping), m_mappedBytes(mappedBytes), m_data(data), m_size(size), m_slot(slot)
    {
    }

    void* m_mapping;      // page-aligned start of the mapping
    size_t m_mappedBytes; // from m_mapping to the end of the range
    const BYTE* m_data;   // the range's first byte, inside the first page
    size_t m_size;
    int m_slot; // where the fault handler finds this view
};
