#include "core/Encoding.h"

#include <cerrno>
#include <iconv.h>
#include <mutex>
#include <stdexcept>

namespace korvane {
namespace {

// iconv descriptors are expensive to open; one per direction, reset per call.
class Converter {
public:
    Converter(const char *to, const char *from) : cd_(iconv_open(to, from))
    {
        // iconv_open reports failure as (iconv_t)-1; there is no other way to test it.
        // NOLINTNEXTLINE(performance-no-int-to-ptr)
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("iconv cannot convert between UTF-8 and CP932");
    }
    ~Converter() { iconv_close(cd_); }

    // Converts `in`; on an unconvertible or broken sequence writes
    // `replacement` and skips `skipOnError(in)` input bytes.
    template <typename Skip>
    std::string run(std::string_view in, std::string_view replacement, Skip skipOnError)
    {
        std::lock_guard lock(mutex_);
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out;
        out.reserve(in.size() * 3 / 2 + 8);
        char buffer[1024];
        char *src = const_cast<char *>(in.data());
        size_t srcLeft = in.size();
        while (srcLeft > 0) {
            char *dst = buffer;
            size_t dstLeft = sizeof buffer;
            size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, dst - buffer);
            if (rc != static_cast<size_t>(-1))
                continue;
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL (truncated sequence at the end).
            out.append(replacement);
            size_t skip = std::min(srcLeft, skipOnError(std::string_view(src, srcLeft)));
            src += skip;
            srcLeft -= skip;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    iconv_t cd_;
    std::mutex mutex_;
};

size_t utf8SequenceLength(std::string_view s)
{
    unsigned char c = static_cast<unsigned char>(s[0]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
    return std::max<size_t>(1, std::min(n, s.size()));
}

size_t cp932SequenceLength(std::string_view s)
{
    unsigned char c = static_cast<unsigned char>(s[0]);
    bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    if (lead && s.size() >= 2) {
        unsigned char t = static_cast<unsigned char>(s[1]);
        bool trail = t >= 0x40 && t <= 0xFC && t != 0x7F;
        if (trail)
            return 2;
    }
    return 1;
}

Converter &toCp932()
{
    static Converter c("CP932", "UTF-8");
    return c;
}

Converter &fromCp932()
{
    static Converter c("UTF-8", "CP932");
    return c;
}

}  // namespace

std::string utf8ToCp932(std::string_view utf8) { return toCp932().run(utf8, "?", utf8SequenceLength); }

std::string cp932ToUtf8(std::string_view cp932) { return fromCp932().run(cp932, "\xEF\xBF\xBD", cp932SequenceLength); }

std::size_t cp932Length(std::string_view utf8) { return utf8ToCp932(utf8).size(); }

std::string_view dropCharacters(std::string_view utf8, std::size_t count)
{
    size_t pos = 0;
    while (count > 0 && pos < utf8.size()) {
        pos += utf8SequenceLength(utf8.substr(pos));
        --count;
    }
    return utf8.substr(std::min(pos, utf8.size()));
}

std::string_view trimBlanks(std::string_view text)
{
    auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string fileNameOf(std::string_view path)
{
    auto pos = path.find_last_of("/\\");
    return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

}  // namespace korvane
