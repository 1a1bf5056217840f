// How deep the elements of an XML text can nest, found without parsing it, so
// that a text nesting too deep for the recursive parser is refused beforehand.
#pragma once

#include <string>

// An upper bound of the element depth any parse of the text reaches: an element
// counts as open from its start tag (unless it ends with "/>") to the next end tag.
int XmlNestingBound(const std::string &text);
