#include "net/XmlNesting.h"

#include <algorithm>
#include <cstring>

namespace {

size_t SkipPast(const std::string &text, size_t from, const char *end)
{
    const size_t found = text.find(end, from);
    return found == std::string::npos ? text.size() : found + std::strlen(end);
}

bool StartsWith(const std::string &text, size_t at, const char *prefix)
{
    return text.compare(at, std::strlen(prefix), prefix) == 0;
}

// The position of the start tag's closing '>', passing over quoted attribute
// values (which may hold '>' and "/>"); the text's size when there is none.
size_t EndOfStartTag(const std::string &text, size_t at)
{
    char quote = 0;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (quote)
            quote = c == quote ? 0 : quote;
        else if (c == '"' || c == '\'')
            quote = c;
        else if (c == '>')
            break;
    }
    return at;
}

} // namespace

int XmlNestingBound(const std::string &text)
{
    int depth = 0;
    int deepest = 0;
    for (size_t at = text.find('<'); at < text.size(); at = text.find('<', at)) {
        if (StartsWith(text, at, "<!--")) {
            at = SkipPast(text, at, "-->");
        } else if (StartsWith(text, at, "<![CDATA[")) {
            at = SkipPast(text, at, "]]>");
        } else if (StartsWith(text, at, "<?") || StartsWith(text, at, "<!")) {
            at = SkipPast(text, at, ">");
        } else if (StartsWith(text, at, "</")) {
            depth = std::max(depth - 1, 0);
            at = SkipPast(text, at, ">");
        } else {
            const size_t end = EndOfStartTag(text, at + 1);
            if (end >= text.size() || text[end - 1] != '/')
                deepest = std::max(deepest, ++depth);
            at = end + 1;
        }
    }
    return deepest;
}
