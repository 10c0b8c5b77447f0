// The memory block that holds a bitmap's pixels: either an anonymous shared memory mapping
// (memfd_create and mmap, the stand-in for a page-file-backed file mapping) or a heap block.
// The block is zero-filled when it is made and released when its owner lets it go.
#pragma once

#include <cstddef>
#include <cstdint>

class TDIBMemory {
  public:
    TDIBMemory() = default;
    ~TDIBMemory();
    TDIBMemory(TDIBMemory&& other) noexcept;
    TDIBMemory& operator=(TDIBMemory&& other) noexcept;
    TDIBMemory(const TDIBMemory&) = delete;
    TDIBMemory& operator=(const TDIBMemory&) = delete;

    std::uint8_t* Bits() const { return FBits; }
    std::size_t Size() const { return FSize; }
    /// Descriptor of the shared memory object; -1 for a heap block or no block.
    int MapHandle() const { return FMapHandle; }
    bool Empty() const { return FBits == nullptr; }

    /// Frees the block (ReleaseMemory); the object is empty afterwards.
    void Release() noexcept;

  private:
    friend TDIBMemory GetMemory(std::size_t size, bool UseFMO);

    std::uint8_t* FBits = nullptr;
    std::size_t FSize = 0;
    int FMapHandle = -1;
};

/// A zero-filled block of `size` bytes: a shared memory mapping when `UseFMO`, else the heap.
/// Raises EOutOfResources when the mapping cannot be made, EOutOfMemory when the heap is out.
TDIBMemory GetMemory(std::size_t size, bool UseFMO);
