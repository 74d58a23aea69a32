#pragma once

#include <QString>

#include <string>

namespace qvr {

// File names on Linux are bytes. Text that is not valid UTF-8 is kept lossless by carrying each
// stray byte 0x80..0xFF as the lone surrogate U+DC80..U+DCFF, so a name read from a folder can
// be handed back to the system unchanged.
std::string toNativeBytes(const QString& text);
QString fromNativeBytes(const char* bytes, std::size_t size);
inline QString fromNativeBytes(const std::string& bytes)
{
    return fromNativeBytes(bytes.data(), bytes.size());
}

}  // namespace qvr
