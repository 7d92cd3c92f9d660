// A small block of machine code generated at run time. The bytes are written
// while the memory is writable, then the memory is switched to executable:
// it is never writable and executable at once.
#pragma once

#include <cstddef>
#include <span>

namespace zem::platform {

class ExecutableCode {
public:
    ExecutableCode() = default;
    ~ExecutableCode();
    ExecutableCode(ExecutableCode&& other) noexcept;
    ExecutableCode& operator=(ExecutableCode&& other) noexcept;
    ExecutableCode(const ExecutableCode&) = delete;
    ExecutableCode& operator=(const ExecutableCode&) = delete;

    // Places `code` at the start of the block (mapping one on first use) and
    // makes it executable. The address stays the same across rewrites. False
    // when the memory could not be had or the code does not fit a page.
    bool Write(std::span<const unsigned char> code);
    const void* address() const { return memory_; }
    bool empty() const { return memory_ == nullptr; }

private:
    void Release();
    void* memory_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace zem::platform
