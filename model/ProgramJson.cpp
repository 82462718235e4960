#include "model/ProgramJson.h"

#include "model/ProgramField.h"
#include "model/ProgramImage.h"
#include "model/ProgramJsonReader.h"

namespace ProgramJson
{
namespace
{
bool isIndex(const juce::String& part)
{
    return part.containsOnly("0123456789") && part.isNotEmpty();
}

juce::var makeContainer(const juce::String& firstChild)
{
    if (isIndex(firstChild))
        return juce::var(juce::Array<juce::var>());
    return juce::var(new juce::DynamicObject());
}

// The element of a container a path part names, made when missing.
juce::var child(juce::var& container, const juce::String& part, const juce::String& nextPart)
{
    if (auto* array = container.getArray())
    {
        const int index = part.getIntValue();
        while (array->size() <= index)
            array->add(makeContainer(nextPart));
        return array->getReference(index);
    }
    auto* object = container.getDynamicObject();
    if (!object->hasProperty(part))
        object->setProperty(part, makeContainer(nextPart));
    return object->getProperty(part);
}

juce::var jsonValue(const ProgramField& field, int value)
{
    if (field.kind == ProgramField::Kind::toggle)
        return value != 0;
    if (field.kind == ProgramField::Kind::choice)
        return field.describe(value);
    return value;
}
} // namespace

juce::String displayPath(const juce::StringArray& path)
{
    juce::String text;
    for (const auto& part : path)
        text += isIndex(part) ? "[" + part + "]" : (text.isEmpty() ? part : "." + part);
    return text;
}

juce::var toJson(const ByteArray& image)
{
    juce::var root(new juce::DynamicObject());
    root.getDynamicObject()->setProperty("format", formatName);
    root.getDynamicObject()->setProperty("version", formatVersion);
    for (const auto& field : ProgramField::all())
    {
        juce::var container = root;
        for (int i = 0; i + 1 < field.path.size(); ++i)
            container = child(container, field.path[i], field.path[i + 1]);
        const auto& last = field.path[field.path.size() - 1];
        container.getDynamicObject()->setProperty(last, jsonValue(field, field.read(image)));
    }
    return root;
}

juce::String toText(const ByteArray& image)
{
    // The framework ends its lines with "\r\n"; a string value never holds a raw line end, so this
    // touches the layout alone.
    return juce::JSON::toString(toJson(image), false).replace("\r\n", "\n") + "\n";
}

ByteArray fromJson(const juce::var& json)
{
    return fromText(juce::JSON::toString(json, true));
}

ByteArray fromText(const juce::String& text)
{
    return fromBytes(text.toRawUTF8(), text.getNumBytesAsUTF8());
}

ByteArray fromBytes(const char* data, std::size_t size)
{
    return ProgramJsonReader::read(data, size);
}
} // namespace ProgramJson
