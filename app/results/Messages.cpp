#include "Messages.h"

#include "Errors.h"

namespace kx {

void ShowMessage(Notifier& notifier, const std::string& text, MessageIcon icon) {
    notifier.Message(text, static_cast<int>(icon), "KINOVEX");
}

TaggedError::TaggedError(std::string_view tag, std::string_view description)
    : std::runtime_error(std::string(tag) + std::string(description)), tag_(tag) {}

TaggedError::TaggedError(std::string_view tag, const std::exception& cause)
    : std::runtime_error(ErrorTextFor(tag, cause)), tag_(tag) {}

}  // namespace kx
