// Reading the catalogue documents: numbers by the C atoi rule, absent texts as "",
// and the first-match-by-ID lookups every catalogue operation uses.
#pragma once

#include <string>
#include <tinyxml.h>

// Leading white space, an optional sign, digits; 0 when there are none.
int AtoI(const char *text);
inline int AtoI(const std::string &text) { return AtoI(text.c_str()); }

std::string TextAttribute(const TiXmlElement *element, const char *name);
int IntAttribute(const TiXmlElement *element, const char *name);
int IdOf(const TiXmlElement *element);

// The first child element called name whose ID reads as id, in document order.
TiXmlElement *FindChildById(TiXmlNode *parent, const char *name, int id);
const TiXmlElement *FindChildById(const TiXmlNode *parent, const char *name, int id);
