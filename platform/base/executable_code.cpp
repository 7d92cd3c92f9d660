#include "platform/base/executable_code.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <utility>

namespace zem::platform {

ExecutableCode::~ExecutableCode() { Release(); }

ExecutableCode::ExecutableCode(ExecutableCode&& other) noexcept
    : memory_(std::exchange(other.memory_, nullptr)), size_(std::exchange(other.size_, 0)) {}

ExecutableCode& ExecutableCode::operator=(ExecutableCode&& other) noexcept {
    if (this != &other) {
        Release();
        memory_ = std::exchange(other.memory_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

void ExecutableCode::Release() {
    if (memory_ != nullptr) munmap(memory_, size_);
    memory_ = nullptr;
    size_ = 0;
}

bool ExecutableCode::Write(std::span<const unsigned char> code) {
    const long page = sysconf(_SC_PAGESIZE);
    const std::size_t pageSize = page > 0 ? static_cast<std::size_t>(page) : 4096;
    if (code.size() > pageSize) return false;
    if (memory_ == nullptr) {
        void* mapped = mmap(nullptr, pageSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED) return false;
        memory_ = mapped;
        size_ = pageSize;
    } else if (mprotect(memory_, size_, PROT_READ | PROT_WRITE) != 0) {
        return false;
    }
    std::memcpy(memory_, code.data(), code.size());
    __builtin___clear_cache(static_cast<char*>(memory_), static_cast<char*>(memory_) + code.size());
    return mprotect(memory_, size_, PROT_READ | PROT_EXEC) == 0;
}

}  // namespace zem::platform
