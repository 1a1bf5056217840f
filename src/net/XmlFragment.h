// Parsing the XML fragments of the service's replies safely. The parser recurses
// once per element level and compares each attribute with all earlier ones of
// its element, so a reply nesting elements very deeply would overflow the
// network thread's stack, and one with very many attributes would hold it for
// minutes. Such a text is refused before it is parsed.
#pragma once

#include <cstddef>
#include <string>
#include <tinyxml.h>

// The parser may step a few bytes past the terminator of a text that ends inside
// a multi-byte character or a marker; the copy it parses ends in this many zeros.
constexpr size_t kXmlPadding = 8;
constexpr int kMaxXmlNesting = 64;
constexpr int kMaxXmlAttributes = 256;

struct TXmlShape {
    int depth = 0;      // the deepest element level the parse reaches (the root is 1)
    int attributes = 0; // the most attributes the parse reads for one element
};

// The shape a TinyXML parse of the text would reach, found by following its
// reading rules without building anything; it stops once a limit is passed.
// The text is terminated and followed by kXmlPadding - 1 more zeros.
TXmlShape XmlShapeOf(const char *padded, int depthLimit, int attributeLimit);

// Parses the bytes as a document, keeping their encoding; false with the
// parser's description (or the refusal) in error.
bool ParseXmlFragment(const char *data, size_t length, TiXmlDocument &document, std::string &error);
