#include "net/XmlFragment.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

namespace {

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) || c == '\n' || c == '\r'; }
// Bytes from 127 up count as letters, as the parser counts them.
bool IsNameStart(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 127 ? true : std::isalpha(byte) || c == '_';
}
bool IsNameChar(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 127 ? true : std::isalnum(byte) || c == '_' || c == '-' || c == '.' || c == ':';
}

bool StartsWith(const char *p, const char *prefix)
{
    return p && *p && std::strncmp(p, prefix, std::strlen(prefix)) == 0;
}

bool StartsWithNoCase(const char *p, const char *prefix)
{
    if (!p || !*p)
        return false;
    for (; *prefix; ++p, ++prefix)
        if (!*p || std::tolower(static_cast<unsigned char>(*p)) != *prefix)
            return false;
    return true;
}

// How many bytes the parser takes as one character when it reads UTF-8.
int Utf8Length(char lead)
{
    const auto byte = static_cast<unsigned char>(lead);
    return byte >= 0xC2 && byte <= 0xDF ? 2 : byte >= 0xE0 && byte <= 0xEF ? 3 : byte >= 0xF0 && byte <= 0xF4 ? 4 : 1;
}

// Follows the parser over a text: where each node starts and ends, which ends
// an element, how the encoding named by the declaration changes the reading.
// Like the parser (as Debian patches it), it never steps over the terminator
// at the end of a value, a comment or a text.
class CShapeScan {
public:
    CShapeScan(int depthLimit, int attributeLimit) : m_depthLimit(depthLimit), m_attributeLimit(attributeLimit) {}

    TXmlShape Run(const char *p);

private:
    enum class ENode { None, Declaration, Comment, CData, Unknown, Element };

    const char *SkipSpace(const char *p) const;
    const char *Character(const char *p, std::string *value) const;
    const char *Entity(const char *p, std::string *value) const;
    const char *TextUntil(const char *p, const char *end, std::string *value) const;
    const char *ContentText(const char *p) const;
    const char *Name(const char *p, std::string *name) const;
    const char *Attribute(const char *p, std::string *name, std::string *value) const;
    const char *Declaration(const char *p, std::string *encoding) const;
    ENode Identify(const char *p) const;
    const char *Other(ENode node, const char *p) const;
    // The start tag: nullptr on an error, *open false for "<name/>".
    const char *StartTag(const char *p, std::string *endTag, bool *open);
    const char *ElementTree(const char *p);
    // Counts an element at this level; false once a limit is passed.
    bool Enter(int depth);
    bool Passed() const { return m_shape.depth > m_depthLimit || m_shape.attributes > m_attributeLimit; }

    const int m_depthLimit;
    const int m_attributeLimit;
    bool m_utf8 = false;
    TXmlShape m_shape;
};

const char *CShapeScan::SkipSpace(const char *p) const
{
    if (!p || !*p)
        return nullptr;
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    while (*p) {
        u = reinterpret_cast<const unsigned char *>(p);
        if (m_utf8 && u[0] == 0xEF &&
            ((u[1] == 0xBB && u[2] == 0xBF) || (u[1] == 0xBF && (u[2] == 0xBE || u[2] == 0xBF)))) {
            p += 3;
            continue;
        }
        if (!IsSpace(*p))
            break;
        ++p;
    }
    return p;
}

const char *CShapeScan::Entity(const char *p, std::string *value) const
{
    if (p[1] == '#' && p[2]) {
        const bool hex = p[2] == 'x';
        if (hex && !p[3])
            return nullptr;
        const char *end = std::strchr(p + (hex ? 3 : 2), ';');
        if (!end)
            return nullptr;
        uint64_t code = 0;
        uint64_t scale = 1;
        for (const char *q = end - 1; *q != (hex ? 'x' : '#'); --q, scale *= hex ? 16 : 10) {
            const char c = *q;
            if (c >= '0' && c <= '9')
                code += scale * static_cast<uint64_t>(c - '0');
            else if (hex && c >= 'a' && c <= 'f')
                code += scale * static_cast<uint64_t>(c - 'a' + 10);
            else if (hex && c >= 'A' && c <= 'F')
                code += scale * static_cast<uint64_t>(c - 'A' + 10);
            else
                return nullptr;
        }
        if (value)
            value->push_back(static_cast<char>(code));
        return end + 1;
    }
    static const struct {
        const char *text;
        char c;
    } kEntities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    for (const auto &entity : kEntities)
        if (StartsWith(p, entity.text)) {
            if (value)
                value->push_back(entity.c);
            return p + std::strlen(entity.text);
        }
    return p + 1; // an unknown '&' is dropped
}

// One character of text or of an attribute value; UTF-8 takes the lead byte's length
// whatever follows it.
const char *CShapeScan::Character(const char *p, std::string *value) const
{
    const int length = m_utf8 ? Utf8Length(*p) : 1;
    if (length == 1 && *p == '&')
        return Entity(p, value);
    if (value)
        for (int i = 0; i < length && p[i]; ++i)
            value->push_back(p[i]);
    return p + length;
}

const char *CShapeScan::TextUntil(const char *p, const char *end, std::string *value) const
{
    while (p && *p && !StartsWith(p, end))
        p = Character(p, value);
    return p && *p ? p + std::strlen(end) : p;
}

const char *CShapeScan::ContentText(const char *p) const
{
    p = SkipSpace(p);
    while (p && *p && *p != '<')
        p = IsSpace(*p) ? p + 1 : Character(p, nullptr);
    // Text ending the document, even in a lone '<', ends the parse.
    return p && *p && p[1] ? p : nullptr;
}

const char *CShapeScan::Name(const char *p, std::string *name) const
{
    if (!p || !*p || !IsNameStart(*p))
        return nullptr;
    const char *start = p;
    while (*p && IsNameChar(*p))
        ++p;
    name->assign(start, p);
    return p;
}

const char *CShapeScan::Attribute(const char *p, std::string *name, std::string *value) const
{
    p = Name(SkipSpace(p), name);
    if (!p || !*p)
        return nullptr;
    p = SkipSpace(p);
    if (!p || *p != '=')
        return nullptr;
    p = SkipSpace(p + 1);
    if (!p || !*p)
        return nullptr;
    if (*p == '"' || *p == '\'') {
        const char quote[2] = {*p, 0};
        return TextUntil(p + 1, quote, value);
    }
    for (; *p && !IsSpace(*p) && *p != '/' && *p != '>'; ++p) {
        if (*p == '"' || *p == '\'')
            return nullptr;
        if (value)
            value->push_back(*p);
    }
    return p;
}

const char *CShapeScan::Declaration(const char *p, std::string *encoding) const
{
    p = SkipSpace(p) + 5; // past "<?xml"
    while (p && *p) {
        if (*p == '>')
            return p + 1;
        p = SkipSpace(p);
        if (StartsWithNoCase(p, "version") || StartsWithNoCase(p, "encoding") || StartsWithNoCase(p, "standalone")) {
            const bool isEncoding = StartsWithNoCase(p, "encoding");
            std::string name;
            std::string value;
            p = Attribute(p, &name, &value);
            if (isEncoding)
                *encoding = value;
        } else {
            while (*p && *p != '>' && !IsSpace(*p))
                ++p;
        }
    }
    return nullptr;
}

CShapeScan::ENode CShapeScan::Identify(const char *p) const
{
    p = SkipSpace(p);
    if (!p || *p != '<')
        return ENode::None;
    if (StartsWithNoCase(p, "<?xml"))
        return ENode::Declaration;
    if (StartsWith(p, "<!--"))
        return ENode::Comment;
    if (StartsWith(p, "<![CDATA["))
        return ENode::CData;
    if (StartsWith(p, "<!"))
        return ENode::Unknown;
    return IsNameStart(p[1]) ? ENode::Element : ENode::Unknown;
}

// Comments, character data and unknown nodes; declarations inside the document.
const char *CShapeScan::Other(ENode node, const char *p) const
{
    std::string ignored;
    switch (node) {
    case ENode::Declaration:
        return Declaration(p, &ignored);
    case ENode::Comment:
        for (p = SkipSpace(p) + 4; *p && !StartsWith(p, "-->"); ++p) {
        }
        return *p ? p + 3 : p;
    case ENode::CData:
        for (p += 9; *p && !StartsWith(p, "]]>"); ++p) {
        }
        return TextUntil(p, "]]>", nullptr);
    default:
        for (p = SkipSpace(p) + 1; *p && *p != '>'; ++p) {
        }
        return *p == '>' ? p + 1 : p;
    }
}

bool CShapeScan::Enter(int depth)
{
    m_shape.depth = std::max(m_shape.depth, depth);
    return !Passed();
}

const char *CShapeScan::StartTag(const char *p, std::string *endTag, bool *open)
{
    std::string name;
    p = Name(SkipSpace(SkipSpace(p) + 1), &name);
    if (!p || !*p)
        return nullptr;
    *endTag = "</" + name;
    std::set<std::string> names;
    for (;;) {
        p = SkipSpace(p);
        if (!p || !*p)
            return nullptr;
        if (*p == '/') {
            *open = false;
            return p[1] == '>' ? p + 2 : nullptr;
        }
        if (*p == '>') {
            *open = true;
            return p + 1;
        }
        p = Attribute(p, &name, nullptr);
        if (!p || !*p || !names.insert(name).second)
            return nullptr; // a repeated attribute ends the parse too
        m_shape.attributes = std::max(m_shape.attributes, static_cast<int>(names.size()));
        if (Passed())
            return nullptr;
    }
}

// A root element with everything inside it, walked with a stack of the open
// elements' end tag openings instead of the parser's recursion; nullptr where the parse ends.
const char *CShapeScan::ElementTree(const char *p)
{
    std::vector<std::string> open(1);
    bool isOpen = false;
    if (!Enter(1) || !(p = StartTag(p, &open.back(), &isOpen)))
        return nullptr;
    if (!isOpen)
        return p;
    for (;;) {
        p = SkipSpace(p);
        while (p && *p && !StartsWith(p, "</")) {
            if (*p != '<') {
                p = ContentText(p);
            } else if (const ENode node = Identify(p); node != ENode::Element) {
                p = Other(node, p);
            } else {
                std::string endTag;
                if (!Enter(static_cast<int>(open.size()) + 1) || !(p = StartTag(p, &endTag, &isOpen)))
                    return nullptr;
                if (isOpen)
                    open.push_back(endTag);
            }
            p = SkipSpace(p);
        }
        // "</name", white space, ">" ends the element.
        if (!p || !StartsWith(p, open.back().c_str()))
            return nullptr;
        p = SkipSpace(p + open.back().size());
        if (!p || *p != '>')
            return nullptr;
        ++p;
        open.pop_back();
        if (open.empty())
            return p;
    }
}

TXmlShape CShapeScan::Run(const char *p)
{
    if (!*p)
        return m_shape;
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    m_utf8 = u[0] == 0xEF && u[1] == 0xBB && u[2] == 0xBF;
    bool encodingKnown = m_utf8;
    for (p = SkipSpace(p); p && *p && !Passed(); p = SkipSpace(p)) {
        const ENode node = Identify(p);
        if (node == ENode::None)
            break;
        if (node == ENode::Element) {
            p = ElementTree(p);
        } else if (node == ENode::Declaration && !encodingKnown) {
            // The first declaration decides how the rest is read: UTF-8 when it
            // names no encoding or UTF-8, bytes otherwise.
            std::string encoding;
            p = Declaration(p, &encoding);
            encodingKnown = true;
            m_utf8 = encoding.empty() || StartsWithNoCase(encoding.c_str(), "utf-8") ||
                     StartsWithNoCase(encoding.c_str(), "utf8");
        } else {
            p = Other(node, p);
        }
    }
    return m_shape;
}

} // namespace

TXmlShape XmlShapeOf(const char *padded, int depthLimit, int attributeLimit)
{
    return CShapeScan(depthLimit, attributeLimit).Run(padded);
}

bool ParseXmlFragment(const char *data, size_t length, TiXmlDocument &document, std::string &error)
{
    std::string text(data, length);
    text.append(kXmlPadding - 1, '\0');
    const TXmlShape shape = XmlShapeOf(text.c_str(), kMaxXmlNesting, kMaxXmlAttributes);
    if (shape.depth > kMaxXmlNesting || shape.attributes > kMaxXmlAttributes) {
        error = shape.depth > kMaxXmlNesting ? "Element nesting too deep." : "Too many attributes in one element.";
        return false;
    }
    document.Parse(text.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    if (document.Error())
        error = document.ErrorDesc();
    return !document.Error();
}
