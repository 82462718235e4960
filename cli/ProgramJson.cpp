#include "cli/ProgramJson.h"

#include "cli/ProgramField.h"
#include "cli/ProgramImage.h"

#include <set>

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

juce::String fieldName(const ProgramField& field)
{
    return displayPath(field.path) + " (" + field.label + ")";
}

int valueOf(const ProgramField& field, const juce::var& json)
{
    const auto fail = [&field](const juce::String& why)
    { return Error((fieldName(field) + ": " + why).toStdString()); };

    if (field.kind == ProgramField::Kind::choice || field.kind == ProgramField::Kind::toggle)
    {
        int value = 0;
        if (field.kind == ProgramField::Kind::toggle && json.isBool())
            return static_cast<bool>(json) ? 1 : 0;
        if (json.isString() && field.valueFromText(json.toString(), value))
            return value;
        throw fail(
            juce::JSON::toString(json, true) + " is not one of " +
            (field.kind == ProgramField::Kind::toggle ? juce::String("true, false, ") : juce::String()) +
            field.describeRange());
    }

    if (!(json.isInt() || json.isInt64() || json.isDouble()))
        throw fail(juce::JSON::toString(json, true) + " is not a number");
    const double number = json;
    if (number != std::floor(number))
        throw fail(juce::JSON::toString(json, true) + " is not a whole number");
    if (number < field.lowest || number > field.highest)
        throw fail(juce::JSON::toString(json, true) + " is outside " + field.describeRange());
    return static_cast<int>(number);
}

void refuseUnknown(const juce::var& json, const juce::StringArray& path, const std::set<juce::String>& known)
{
    const auto here = displayPath(path);
    if (auto* array = json.getArray())
    {
        for (int i = 0; i < array->size(); ++i)
        {
            auto childPath = path;
            childPath.add(juce::String(i));
            if (known.count(displayPath(childPath)) == 0)
                throw Error((displayPath(childPath) + ": not a program value").toStdString());
            refuseUnknown(array->getReference(i), childPath, known);
        }
    }
    else if (auto* object = json.getDynamicObject())
    {
        for (const auto& property : object->getProperties())
        {
            auto childPath = path;
            childPath.add(property.name.toString());
            if (path.isEmpty() && (childPath[0] == "format" || childPath[0] == "version"))
                continue;
            if (known.count(displayPath(childPath)) == 0)
                throw Error((displayPath(childPath) + ": not a program value").toStdString());
            refuseUnknown(property.value, childPath, known);
        }
    }
}

void checkFormat(const juce::var& json)
{
    if (json.getDynamicObject() == nullptr)
        throw Error("the JSON is not an object of program values");
    const auto format = json.getProperty("format", formatName);
    if (format.toString() != formatName)
        throw Error(("format: " + juce::JSON::toString(format, true) + " is not \"" + formatName + "\"")
                        .toStdString());
    const auto version = json.getProperty("version", formatVersion);
    if (!(version.isInt() || version.isInt64()) || static_cast<int>(version) != formatVersion)
        throw Error(("version: " + juce::JSON::toString(version, true) + " is not " +
                     juce::String(formatVersion) + " (made by another version of the tool?)")
                        .toStdString());
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
    return juce::JSON::toString(toJson(image), false) + "\n";
}

ByteArray fromJson(const juce::var& json)
{
    checkFormat(json);
    std::set<juce::String> known;
    ByteArray image = ProgramImage::makeDefault();
    for (const auto& field : ProgramField::all())
    {
        juce::var node = json;
        juce::StringArray walked;
        for (const auto& part : field.path)
        {
            walked.add(part);
            known.insert(displayPath(walked));
            juce::var next;
            bool found = false;
            if (auto* array = node.getArray())
            {
                found = isIndex(part) && part.getIntValue() < array->size();
                if (found)
                    next = array->getReference(part.getIntValue());
            }
            else if (auto* object = node.getDynamicObject())
            {
                found = !isIndex(part) && object->hasProperty(part);
                if (found)
                    next = object->getProperty(part);
            }
            if (!found)
                throw Error((fieldName(field) + ": missing").toStdString());
            node = next;
        }
        field.write(image, valueOf(field, node));
    }
    refuseUnknown(json, {}, known);
    return image;
}

ByteArray fromText(const juce::String& text)
{
    juce::var json;
    const auto result = juce::JSON::parse(text, json);
    if (result.failed())
        throw Error(("not JSON: " + result.getErrorMessage()).toStdString());
    return fromJson(json);
}
} // namespace ProgramJson
