#include "store/XmlNumber.h"

#include <cstdlib>

int AtoI(const char *text)
{
    return text ? static_cast<int>(std::strtol(text, nullptr, 10)) : 0;
}

std::string TextAttribute(const TiXmlElement *element, const char *name)
{
    const char *value = element ? element->Attribute(name) : nullptr;
    return value ? value : "";
}

int IntAttribute(const TiXmlElement *element, const char *name)
{
    return element ? AtoI(element->Attribute(name)) : 0;
}

int IdOf(const TiXmlElement *element) { return IntAttribute(element, "ID"); }

const TiXmlElement *FindChildById(const TiXmlNode *parent, const char *name, int id)
{
    if (!parent)
        return nullptr;
    for (const TiXmlElement *child = parent->FirstChildElement(name); child; child = child->NextSiblingElement(name))
        if (IdOf(child) == id)
            return child;
    return nullptr;
}

TiXmlElement *FindChildById(TiXmlNode *parent, const char *name, int id)
{
    return const_cast<TiXmlElement *>(FindChildById(static_cast<const TiXmlNode *>(parent), name, id));
}
