// Conversions between the program's byte strings and Qt's text.
//
// Paths and messages kept in std::string are UTF-8. The content of the
// program's own files is Latin-1 bytes (one byte, one character), so it goes
// through the Latin-1 pair, which keeps every byte. A user's text document
// is decoded by its own encoding instead (PlainText.h of the text window).
#pragma once

#include <QString>
#include <QStringDecoder>

#include <string>
#include <string_view>

namespace kx::platform {

// A U+FEFF at the start is a character of the text like any other: no byte
// order mark to drop (a text or a name may begin with one).
inline QString ToQ(std::string_view utf8) {
    QStringDecoder decoder(QStringConverter::Utf8,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(utf8.data(), static_cast<qsizetype>(utf8.size())));
}
inline std::string FromQ(const QString& text) { return text.toStdString(); }

inline QString Latin1ToQ(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
// Characters beyond Latin-1 become "?".
std::string QToLatin1(const QString& text);

}  // namespace kx::platform
