#include "dibmemory.h"

#include <cstdlib>
#include <utility>

#include <sys/mman.h>
#include <unistd.h>

#include <QtGlobal>

#include "platform/syserrors.h"

TDIBMemory::~TDIBMemory() {
    Release();
}

TDIBMemory::TDIBMemory(TDIBMemory&& other) noexcept
    : FBits(std::exchange(other.FBits, nullptr)), FSize(std::exchange(other.FSize, 0)),
      FMapHandle(std::exchange(other.FMapHandle, -1)) {}

TDIBMemory& TDIBMemory::operator=(TDIBMemory&& other) noexcept {
    if (this != &other) {
        Release();
        FBits = std::exchange(other.FBits, nullptr);
        FSize = std::exchange(other.FSize, 0);
        FMapHandle = std::exchange(other.FMapHandle, -1);
    }
    return *this;
}

void TDIBMemory::Release() noexcept {
    if (FBits == nullptr)
        return;
    if (FMapHandle >= 0) {
        // Both calls fail only for arguments this class never passes; going on would leak or
        // corrupt memory, so these are fatal invariant breaks rather than errors.
        if (munmap(FBits, FSize == 0 ? 1 : FSize) != 0)
            qFatal("ReleaseMemory: Failed To Unmap View of File map");
        if (close(FMapHandle) != 0)
            qFatal("ReleaseMemory: Failed To Close File Map");
    } else {
        std::free(FBits);
    }
    FBits = nullptr;
    FSize = 0;
    FMapHandle = -1;
}

TDIBMemory GetMemory(std::size_t size, bool UseFMO) {
    // An empty block still gets an address, so that "no block" and "no bytes" stay apart.
    const std::size_t bytes = size == 0 ? 1 : size;
    TDIBMemory block;
    if (UseFMO) {
        const int fd = memfd_create("tamurika-dib", MFD_CLOEXEC);
        if (fd < 0)
            throw EOutOfResources(QStringLiteral("GetMemory: Cannot Make File Mapping Object"));
        if (ftruncate(fd, static_cast<off_t>(bytes)) != 0) {
            close(fd);
            throw EOutOfResources(QStringLiteral("GetMemory: Cannot Make File Mapping Object"));
        }
        void* view = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (view == MAP_FAILED) {
            close(fd);
            throw EOutOfResources(QStringLiteral("GetMemory: Cannot Make View of File Map"));
        }
        block.FBits = static_cast<std::uint8_t*>(view);
        block.FMapHandle = fd;
    } else {
        block.FBits = static_cast<std::uint8_t*>(std::calloc(bytes, 1));
        if (block.FBits == nullptr)
            throw EOutOfMemory();
    }
    block.FSize = size;
    return block;
}
