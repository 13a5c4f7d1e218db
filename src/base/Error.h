#pragma once
// The program's error: a fixed Japanese message for the user, and the Win32
// error code behind it where a system call failed (0 when there is none).
#include <cstdint>
#include <stdexcept>
#include <string>

namespace vesko {

class AppError : public std::runtime_error {
public:
    explicit AppError(const std::string& message, std::uint32_t systemError = 0)
        : std::runtime_error(message), systemError_(systemError) {}
    std::uint32_t SystemError() const { return systemError_; }

private:
    std::uint32_t systemError_;
};

}  // namespace vesko
