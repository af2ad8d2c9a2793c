#include "Text.h"

#include <QByteArray>

namespace kx::platform {

std::string QToLatin1(const QString& text) {
    QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace kx::platform
