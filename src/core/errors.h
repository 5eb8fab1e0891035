#pragma once

#include <stdexcept>
#include <string>

namespace harpoly {

// Every failure the program reports carries a kind name. The application-wide
// handler turns the kind into the text shown in the information panel.
class Error : public std::runtime_error {
public:
    Error(std::string kind, const std::string& message = {})
        : std::runtime_error(message.empty() ? kind : message), kind_(std::move(kind)) {}
    const std::string& kind() const noexcept { return kind_; }

private:
    std::string kind_;
};

namespace kind {
inline constexpr const char* MCIDevice = "EMCIDeviceError";
inline constexpr const char* JPEG = "EJPEG";
inline constexpr const char* InvalidGraphic = "EInvalidGraphic";
inline constexpr const char* FCreate = "EFCreateError";
inline constexpr const char* FOpen = "EFOpenError";
inline constexpr const char* Outline = "EOutlineError";
inline constexpr const char* ReadError = "EReadError";
inline constexpr const char* OutOfMemory = "EOutOfMemory";
} // namespace kind

[[noreturn]] inline void raise(const char* kindName, const std::string& message = {}) {
    throw Error(kindName, message);
}

} // namespace harpoly
