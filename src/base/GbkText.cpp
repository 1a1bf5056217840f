#include "base/GbkText.h"

#include <cerrno>
#include <iconv.h>

namespace {

bool IsAscii(const std::string &text)
{
    for (unsigned char c : text)
        if (c >= 0x80)
            return false;
    return true;
}

// One iconv descriptor per direction and thread: opening one costs far more than converting a title.
class CConverter {
public:
    CConverter(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~CConverter()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }

    std::string Convert(const std::string &input, const std::string &replacement)
    {
        std::string output;
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            return output;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        output.reserve(input.size() * 3 / 2 + 4);
        char *in = const_cast<char *>(input.data());
        size_t inLeft = input.size();
        char buffer[1024];
        while (inLeft > 0) {
            char *out = buffer;
            size_t outLeft = sizeof buffer;
            size_t result = iconv(m_cd, &in, &inLeft, &out, &outLeft);
            output.append(buffer, out);
            if (result != static_cast<size_t>(-1))
                continue;
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL (cut short at the end): replace one byte and go on.
            output += replacement;
            ++in;
            --inLeft;
        }
        char *out = buffer;
        size_t outLeft = sizeof buffer;
        iconv(m_cd, nullptr, nullptr, &out, &outLeft);
        output.append(buffer, out);
        return output;
    }

private:
    iconv_t m_cd;
};

} // namespace

std::string GbkToUtf8(const std::string &gbk)
{
    if (IsAscii(gbk))
        return gbk;
    thread_local CConverter converter("UTF-8", "GB18030");
    return converter.Convert(gbk, "\xEF\xBF\xBD");
}

std::string Utf8ToGbk(const std::string &utf8)
{
    if (IsAscii(utf8))
        return utf8;
    thread_local CConverter converter("GB18030", "UTF-8");
    return converter.Convert(utf8, "?");
}
