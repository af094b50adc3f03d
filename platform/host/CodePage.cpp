#include "platform/host/CodePage.h"

#include <bit>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <iconv.h>

namespace host {
namespace {

constexpr char kLocalCodePage[] = "GB18030";
constexpr char16_t kReplacement = u'\uFFFD';
constexpr char kUtf8Replacement[] = "\xEF\xBF\xBD";
// What a character that the window code page cannot take becomes, as on the original platform.
constexpr char kDefaultChar = '?';
constexpr std::size_t kMinChunk = 64;

// One conversion descriptor, closed on every path. Opened per call: iconv_t is not shared between
// threads, and receiver threads convert camera names concurrently.
class Converter {
  public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (Ok())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Ok() const { return reinterpret_cast<std::intptr_t>(m_cd) != -1; } // iconv_open's (iconv_t)-1
    iconv_t Get() const { return m_cd; }

  private:
    iconv_t m_cd;
};

// Converts in to out. An input sequence that cannot be converted is replaced by replacement and
// skipped by skipUnit bytes; an incomplete sequence at the end is replaced the same way.
bool Convert(const Converter& cv, const char* in, std::size_t inLen, std::size_t skipUnit,
             std::string_view replacement, std::string& out) {
    out.clear();
    if (!cv.Ok())
        return false;
    char* src = const_cast<char*>(in); // iconv's signature; the input is not written
    std::size_t srcLeft = inLen;
    std::string chunk(inLen * 4 + kMinChunk, '\0');
    while (srcLeft > 0) {
        char* dst = chunk.data();
        std::size_t dstLeft = chunk.size();
        const std::size_t rc = iconv(cv.Get(), &src, &srcLeft, &dst, &dstLeft);
        const int err = errno;
        out.append(chunk.data(), chunk.size() - dstLeft);
        if (rc != static_cast<std::size_t>(-1) || err == E2BIG)
            continue;
        if (err != EILSEQ && err != EINVAL)
            return false;
        out.append(replacement);
        // EINVAL: an incomplete sequence ends the input; EILSEQ: skip one unit and go on.
        const std::size_t skip = err == EINVAL ? srcLeft : (skipUnit < srcLeft ? skipUnit : srcLeft);
        src += skip;
        srcLeft -= skip;
    }
    char* dst = chunk.data();
    std::size_t dstLeft = chunk.size();
    iconv(cv.Get(), nullptr, nullptr, &dst, &dstLeft); // end any shift state
    out.append(chunk.data(), chunk.size() - dstLeft);
    return true;
}

void AppendCodePoint(std::u16string& out, std::uint32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
        return;
    }
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
}

} // namespace

// Strict UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF). Each maximal ill-formed
// subpart becomes one U+FFFD, and decoding resumes at the byte that broke the sequence, so a bad
// byte never swallows the valid text after it.
std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    const auto byteAt = [&](std::size_t i) { return static_cast<std::uint8_t>(utf8[i]); };
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::uint8_t lead = byteAt(i);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        int need = 0;
        std::uint32_t cp = 0;
        std::uint8_t lo = 0x80;
        std::uint8_t hi = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            need = 1;
            cp = lead & 0x1FU;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            need = 2;
            cp = lead & 0x0FU;
            if (lead == 0xE0)
                lo = 0xA0; // no overlong forms
            if (lead == 0xED)
                hi = 0x9F; // no surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            need = 3;
            cp = lead & 0x07U;
            if (lead == 0xF0)
                lo = 0x90; // no overlong forms
            if (lead == 0xF4)
                hi = 0x8F; // nothing above U+10FFFF
        } else {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        int got = 0;
        while (got < need && j < utf8.size() && byteAt(j) >= lo && byteAt(j) <= hi) {
            cp = (cp << 6) | (byteAt(j) & 0x3FU);
            ++j;
            ++got;
            lo = 0x80;
            hi = 0xBF;
        }
        if (got == need)
            AppendCodePoint(out, cp);
        else
            out.push_back(kReplacement);
        i = j;
    }
    return out;
}

// GB18030 covers all of Unicode, so only a lone surrogate can fail; it becomes "?" like any
// character that a code page lacks, and the rest is converted.
bool Utf16ToLocal(std::u16string_view text, std::string& out) {
    constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
    const Converter cv(kLocalCodePage, kUtf16);
    return Convert(cv, reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t),
                   sizeof(char16_t), std::string_view(&kDefaultChar, 1), out);
}

std::string LocalToUtf8(std::string_view local) {
    const Converter cv("UTF-8", kLocalCodePage);
    std::string out;
    if (!Convert(cv, local.data(), local.size(), 1, kUtf8Replacement, out))
        out.clear();
    return out;
}

} // namespace host
