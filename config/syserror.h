#pragma once
// The operating system's reason for a failure, as the user reads it.
#include <string>
#include <system_error>

namespace tcese {

// The reason for an error number: Portuguese for the usual ones (disk full,
// permission, a folder where a file is expected), else the system's own text.
std::string systemReason(int errorNumber);
inline std::string systemReason(const std::error_code& ec) { return systemReason(ec.value()); }

}  // namespace tcese
