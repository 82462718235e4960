#include "model/ProgramJson.h"

#include "model/ProgramField.h"
#include "model/ProgramImage.h"

#include <algorithm>
#include <set>
#include <string>

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

// A number no field can take, a fraction or an integer beyond an int, kept as it was written: a
// double would print 18446744073709551744 as 1.8446744073709552e19, and 1e400 as null.
class NumberText : public juce::DynamicObject
{
public:
    NumberText(const juce::String& written, bool isWhole) : text(written), whole(isWhole) {}

    void writeAsJSON(juce::OutputStream& out, int, bool, int) override
    {
        out << (text.length() <= 40 ? text : text.substring(0, 37) + "...");
    }
    Ptr clone() override { return new NumberText(text, whole); }

    const juce::String text;
    const bool whole;
};

const NumberText* numberText(const juce::var& json)
{
    return dynamic_cast<const NumberText*>(json.getObject());
}

// The object a value is, if it is one.
juce::DynamicObject* objectOf(const juce::var& json)
{
    return numberText(json) != nullptr ? nullptr : json.getDynamicObject();
}

// JSON as the framework's parser reads it (single-quoted strings, trailing commas, leading zeros), but
// with a bound on nesting, since the framework's recursion overflows the stack on deep input, and with
// every number judged on its digits, since the framework's integers wrap around at 2^64.
class Reader
{
public:
    explicit Reader(const juce::String& text) : start(text.getCharPointer()), here(start) {}

    juce::var document()
    {
        skipSpace();
        if (here.isEmpty())
            return {};
        auto value = any();
        skipSpace();
        if (!here.isEmpty())
            fail("more text after the JSON", here);
        return value;
    }

private:
    using Position = juce::String::CharPointerType;

    Position start;
    Position here;
    juce::StringArray path;

    juce::String where(Position at) const
    {
        int line = 1;
        int column = 1;
        for (auto i = start; i < at && !i.isEmpty(); ++i)
        {
            ++column;
            if (*i == '\n')
            {
                column = 1;
                ++line;
            }
        }
        return "line " + juce::String(line) + ", column " + juce::String(column);
    }

    [[noreturn]] void fail(const juce::String& what, Position at) const
    {
        throw Error(("not JSON: " + where(at) + ": " + what).toStdString());
    }

    juce::juce_wchar next() { return here.isEmpty() ? 0 : here.getAndAdvance(); }

    bool matchIf(juce::juce_wchar c)
    {
        if (*here != c || c == 0)
            return false;
        ++here;
        return true;
    }

    void skipSpace() { here = here.findEndOfWhitespace(); }

    juce::var any()
    {
        skipSpace();
        const auto at = here;
        switch (next())
        {
        case '{':
            return nested(at, &Reader::object);
        case '[':
            return nested(at, &Reader::array);
        case '"':
            return string('"', at);
        case '\'':
            return string('\'', at);
        case 't':
            if (matchWord("rue"))
                return true;
            break;
        case 'f':
            if (matchWord("alse"))
                return false;
            break;
        case 'n':
            if (matchWord("ull"))
                return {};
            break;
        case '-':
        case '0':
        case '1':
        case '2':
        case '3':
        case '4':
        case '5':
        case '6':
        case '7':
        case '8':
        case '9':
            here = at;
            return number();
        default:
            break;
        }
        fail(at.isEmpty() ? "the text ends where a value belongs" : "a value belongs here", at);
    }

    bool matchWord(const char* rest)
    {
        while (*rest != 0)
            if (!matchIf(static_cast<juce::juce_wchar>(*rest++)))
                return false;
        return true;
    }

    juce::var nested(Position at, juce::var (Reader::*parse)(Position))
    {
        if (path.size() >= maxNesting)
            throw Error(("nested deeper than " + juce::String(maxNesting) + " levels at " + where(at) +
                         ", inside " + displayPath(path))
                            .toStdString());
        return (this->*parse)(at);
    }

    juce::var object(Position opening)
    {
        juce::var result(new juce::DynamicObject());
        for (;;)
        {
            skipSpace();
            if (matchIf('}'))
                return result;
            const auto at = here;
            if (!matchIf('"'))
                fail(here.isEmpty() ? "the text ends inside the object that starts at " + where(opening)
                                    : juce::String("a name in double quotes belongs here"),
                     at);
            const juce::String name = string('"', at);
            if (name.isEmpty())
                fail("a name is empty", at);
            skipSpace();
            if (!matchIf(':'))
                fail("':' belongs here", here);
            path.add(name);
            const auto value = any();
            path.remove(path.size() - 1);
            result.getDynamicObject()->setProperty(name, value);
            skipSpace();
            if (matchIf('}'))
                return result;
            if (here.isEmpty())
                fail("the text ends inside the object that starts at " + where(opening), here);
            if (!matchIf(','))
                fail("',' or '}' belongs here", here);
        }
    }

    juce::var array(Position opening)
    {
        juce::var result(juce::Array<juce::var>{});
        for (;;)
        {
            skipSpace();
            if (matchIf(']'))
                return result;
            if (here.isEmpty())
                fail("the text ends inside the array that starts at " + where(opening), here);
            path.add(juce::String(result.size()));
            result.append(any());
            path.remove(path.size() - 1);
            skipSpace();
            if (matchIf(']'))
                return result;
            if (here.isEmpty())
                fail("the text ends inside the array that starts at " + where(opening), here);
            if (!matchIf(','))
                fail("',' or ']' belongs here", here);
        }
    }

    juce::juce_wchar hexEscape(Position at)
    {
        juce::juce_wchar c = 0;
        for (int i = 0; i < 4; ++i)
        {
            const int digit = juce::CharacterFunctions::getHexDigitValue(next());
            if (digit < 0)
                fail("\\u needs four hex digits", at);
            c = (c << 4) | static_cast<juce::juce_wchar>(digit);
        }
        return c;
    }

    juce::String string(juce::juce_wchar quote, Position opening)
    {
        juce::MemoryOutputStream text;
        for (;;)
        {
            const auto at = here;
            auto c = next();
            if (c == 0)
                fail("the text ends inside the string that starts at " + where(opening), at);
            if (c == quote)
                return text.toUTF8();
            if (c == '\\')
            {
                switch (c = next())
                {
                case 'a':
                    c = '\a';
                    break;
                case 'b':
                    c = '\b';
                    break;
                case 'f':
                    c = '\f';
                    break;
                case 'n':
                    c = '\n';
                    break;
                case 'r':
                    c = '\r';
                    break;
                case 't':
                    c = '\t';
                    break;
                case 'u':
                    c = hexEscape(at);
                    if (c >= 0xd800 && c < 0xdc00 && here[0] == '\\' && here[1] == 'u')
                    {
                        const auto pair = here;
                        here += 2;
                        const auto low = hexEscape(pair);
                        if (low >= 0xdc00 && low < 0xe000)
                            c = 0x10000 + ((c - 0xd800) << 10) + (low - 0xdc00);
                        else
                            here = pair;
                    }
                    if (c == 0)
                        fail("a string cannot hold \\u0000", at);
                    if (c >= 0xd800 && c < 0xe000)
                        c = 0xfffd;
                    break;
                case 0:
                    fail("the text ends inside the string that starts at " + where(opening), here);
                default:
                    break;
                }
            }
            text.appendUTF8Char(c);
        }
    }

    juce::var number()
    {
        const auto begin = here;
        matchIf('-');
        std::string digits;
        long long exponent = 0;
        const auto readDigits = [this, &digits]()
        {
            const auto first = digits.size();
            while (juce::CharacterFunctions::isDigit(*here))
                digits += static_cast<char>(next());
            return digits.size() - first;
        };
        if (readDigits() == 0)
            fail("a digit belongs here", here);
        if (matchIf('.'))
        {
            const auto fraction = readDigits();
            if (fraction == 0)
                fail("a digit belongs here", here);
            exponent -= static_cast<long long>(fraction);
        }
        if (matchIf('e') || matchIf('E'))
        {
            const bool negative = matchIf('-');
            if (!negative)
                matchIf('+');
            if (!juce::CharacterFunctions::isDigit(*here))
                fail("a digit belongs here", here);
            // Beyond this the sign alone decides: the text is far shorter than the exponent.
            long long power = 0;
            while (juce::CharacterFunctions::isDigit(*here))
                power = std::min(power * 10 + static_cast<long long>(next() - '0'), 1000000000LL);
            exponent += negative ? -power : power;
        }
        const juce::String text(begin, here);

        // The value is digits * 10^exponent, with the digits' leading and trailing zeros taken off.
        const auto first = digits.find_first_not_of('0');
        if (first == std::string::npos)
            return 0;
        const auto last = digits.find_last_not_of('0');
        exponent += static_cast<long long>(digits.size() - last - 1);
        digits = digits.substr(first, last - first + 1);
        if (exponent < 0 || static_cast<long long>(digits.size()) + exponent > 9)
            return juce::var(new NumberText(text, exponent >= 0));
        int value = std::stoi(digits);
        for (long long i = 0; i < exponent; ++i)
            value *= 10;
        return text.startsWithChar('-') ? -value : value;
    }
};

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

    if (const auto* number = numberText(json))
        throw fail(juce::JSON::toString(json, true) +
                   (number->whole ? " is outside " + field.describeRange() : " is not a whole number"));
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
    else if (auto* object = objectOf(json))
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
    if (objectOf(json) == nullptr)
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
            else if (auto* object = objectOf(node))
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
    return fromJson(Reader(text).document());
}
} // namespace ProgramJson
