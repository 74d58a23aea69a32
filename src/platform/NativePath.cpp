#include "NativePath.h"

namespace qvr {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Length of the valid UTF-8 sequence at p (0 when it is not one) and its code point.
int decodeSequence(const unsigned char* p, std::size_t left, char32_t& cp)
{
    const unsigned char b = p[0];
    int length = 0;
    char32_t min = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2, cp = b & 0x1F, min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3, cp = b & 0x0F, min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4, cp = b & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (left < static_cast<std::size_t>(length)) {
        return 0;
    }
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    const bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
    if (cp < min || cp > 0x10FFFF || surrogate) {
        return 0;
    }
    return length;
}

}  // namespace

std::string toNativeBytes(const QString& text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    const char16_t* s = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((char32_t(c) - 0xD800) << 10) + (s[i + 1] - 0xDC00));
            ++i;
        } else if (c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF) {
            out += static_cast<char>(c - kEscapeBase);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            out += '?';
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

QString fromNativeBytes(const char* bytes, std::size_t size)
{
    QString out;
    out.reserve(static_cast<qsizetype>(size));
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    std::size_t i = 0;
    while (i < size) {
        if (p[i] < 0x80) {
            out += QChar(p[i++]);
            continue;
        }
        char32_t cp = 0;
        const int length = decodeSequence(p + i, size - i, cp);
        if (length == 0) {
            out += QChar(static_cast<char16_t>(kEscapeBase + p[i++]));
            continue;
        }
        if (cp >= 0x10000) {
            out += QChar(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            out += QChar(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out += QChar(static_cast<char16_t>(cp));
        }
        i += static_cast<std::size_t>(length);
    }
    return out;
}

}  // namespace qvr
