#include "model/ProgramJsonReader.h"

#include "model/ProgramField.h"
#include "model/ProgramImage.h"
#include "model/ProgramJson.h"

#include <algorithm>

namespace
{
using Place = ProgramJsonReader::Place;
using ProgramJson::Error;

const char* const notAProgram = "the JSON is not an object of program values";

// Every place a program's JSON has, built from the fields' paths.
const std::vector<Place>& layout()
{
    static const std::vector<Place> places = []
    {
        std::vector<Place> all(1);
        const auto add = [&all](int parent, const juce::String& name, Place::Kind kind)
        {
            for (const auto& [childName, child] : all[static_cast<std::size_t>(parent)].children)
                if (childName == name)
                    return child;
            all.push_back({kind, -1, {}});
            const int child = static_cast<int>(all.size()) - 1;
            all[static_cast<std::size_t>(parent)].children.emplace_back(name, child);
            return child;
        };
        add(0, "format", Place::Kind::format);
        add(0, "version", Place::Kind::version);
        const auto& fields = ProgramField::all();
        for (std::size_t i = 0; i < fields.size(); ++i)
        {
            const auto& path = fields[i].path;
            int place = 0;
            for (int part = 0; part + 1 < path.size(); ++part)
                place =
                    add(place, path[part],
                        path[part + 1].containsOnly("0123456789") ? Place::Kind::array : Place::Kind::object);
            place = add(place, path[path.size() - 1], Place::Kind::field);
            all[static_cast<std::size_t>(place)].fieldIndex = static_cast<int>(i);
        }
        return all;
    }();
    return places;
}

// A value shown as written, or described, because no field takes it: a fraction or an integer beyond
// an int (a double would print 18446744073709551744 as 1.8446744073709552e19, and 1e400 as null), or
// an object or array.
class Written : public juce::DynamicObject
{
public:
    enum class What
    {
        wholeNumber,
        fraction,
        container
    };

    Written(const juce::String& written, What isWhat) : text(written), what(isWhat) {}

    void writeAsJSON(juce::OutputStream& out, int, bool, int) override
    {
        out << (text.length() <= 40 ? text : text.substring(0, 37) + "...");
    }
    Ptr clone() override { return new Written(text, what); }

    const juce::String text;
    const What what;
};

const Written* writtenOf(const juce::var& json)
{
    return dynamic_cast<const Written*>(json.getObject());
}

juce::String shown(const juce::var& json)
{
    return juce::JSON::toString(json, true);
}

juce::String fieldName(const ProgramField& field)
{
    return ProgramJson::displayPath(field.path) + " (" + field.label + ")";
}

// Choices are taken only as the panel writes them, the arpeggiator switch only as a boolean.
int valueOf(const ProgramField& field, const juce::var& json)
{
    const auto fail = [&field](const juce::String& why)
    { return Error((fieldName(field) + ": " + why).toStdString()); };

    if (field.kind == ProgramField::Kind::toggle)
    {
        if (json.isBool())
            return static_cast<bool>(json) ? 1 : 0;
        throw fail(shown(json) + " is not one of true, false");
    }
    if (field.kind == ProgramField::Kind::choice)
    {
        const int index = json.isString() ? field.choices.indexOf(json.toString()) : -1;
        if (index >= 0)
            return field.lowest + index;
        throw fail(shown(json) + " is not one of " + field.describeRange());
    }

    if (const auto* written = writtenOf(json))
        throw fail(shown(json) +
                   (written->what == Written::What::wholeNumber ? " is outside " + field.describeRange()
                    : written->what == Written::What::fraction  ? juce::String(" is not a whole number")
                                                                : juce::String(" is not a number")));
    if (!json.isInt())
        throw fail(shown(json) + " is not a number");
    const int number = json;
    if (number < field.lowest || number > field.highest)
        throw fail(shown(json) + " is outside " + field.describeRange());
    return number;
}

void appendUtf8(std::string& text, juce::juce_wchar c)
{
    char buffer[4];
    juce::CharPointer_UTF8 end(buffer);
    end.write(c);
    text.append(buffer, static_cast<std::size_t>(end.getAddress() - buffer));
}

// The text as UTF-8: as a file is loaded, a byte order mark says UTF-16 or is dropped.
std::string utf8Of(const char* data, std::size_t size)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    if (size >= 3 && bytes[0] == 0xef && bytes[1] == 0xbb && bytes[2] == 0xbf)
        return std::string(data + 3, size - 3);
    const bool little = size >= 2 && bytes[0] == 0xff && bytes[1] == 0xfe;
    if (!little && !(size >= 2 && bytes[0] == 0xfe && bytes[1] == 0xff))
        return std::string(data, size);
    if (size % 2 != 0)
        throw Error("not JSON: UTF-16 text with an odd number of bytes");

    const auto unit = [bytes, little](std::size_t at)
    {
        return static_cast<juce::juce_wchar>(little ? bytes[at] | bytes[at + 1] << 8
                                                    : bytes[at] << 8 | bytes[at + 1]);
    };
    const auto isLow = [](juce::juce_wchar c) { return c >= 0xdc00 && c < 0xe000; };
    std::string text;
    for (std::size_t at = 2; at < size; at += 2)
    {
        auto c = unit(at);
        if (c >= 0xd800 && c < 0xdc00 && at + 2 < size && isLow(unit(at + 2)))
            c = 0x10000 + ((c - 0xd800) << 10) + (unit(at += 2) - 0xdc00);
        else if (c >= 0xd800 && c < 0xe000)
            throw Error("not JSON: UTF-16 text with an unpaired surrogate");
        appendUtf8(text, c);
    }
    return text;
}

// The length of the UTF-8 sequence at p, or 0 if there is none: overlong forms, surrogates and code
// points past U+10FFFF are not UTF-8. p is followed by a NUL at the end of the text.
int sequenceLength(const unsigned char* p)
{
    const auto in = [](unsigned char c, int low, int high) { return c >= low && c <= high; };
    if (p[0] < 0x80)
        return 1;
    // The first byte gives the length and the range of the second; the rest are 80 to BF.
    int length = 4;
    const int low = p[0] == 0xe0 ? 0xa0 : p[0] == 0xf0 ? 0x90 : 0x80;
    const int high = p[0] == 0xed ? 0x9f : p[0] == 0xf4 ? 0x8f : 0xbf;
    if (in(p[0], 0xc2, 0xdf))
        length = 2;
    else if (in(p[0], 0xe0, 0xef))
        length = 3;
    else if (!in(p[0], 0xf0, 0xf4))
        return 0;
    if (!in(p[1], low, high))
        return 0;
    for (int i = 2; i < length; ++i)
        if (!in(p[i], 0x80, 0xbf))
            return 0;
    return length;
}
} // namespace

ProgramJsonReader::ProgramJsonReader(std::string utf8)
    : text(std::move(utf8)), here(text.c_str()), seen(layout().size()), image(ProgramImage::makeDefault())
{
}

ByteArray ProgramJsonReader::read(const char* data, std::size_t size)
{
    ProgramJsonReader reader(utf8Of(data, size));
    reader.checkEncoding();
    reader.skipSpace();
    if (*reader.here == 0)
        throw Error(notAProgram);
    reader.value(nullptr);
    reader.skipSpace();
    if (*reader.here != 0)
        reader.fail("more text after the JSON", reader.here);

    reader.here = reader.text.c_str();
    reader.skipSpace();
    if (*reader.here != '{')
        throw Error(notAProgram);
    reader.value(layout().data());
    const auto& places = layout();
    for (std::size_t i = 0; i < places.size(); ++i)
        if (places[i].kind == Place::Kind::field && !reader.seen[i])
            throw Error(
                (fieldName(ProgramField::all()[static_cast<std::size_t>(places[i].fieldIndex)]) + ": missing")
                    .toStdString());
    return reader.image;
}

void ProgramJsonReader::fail(const juce::String& what, const char* at) const
{
    throw Error(("not JSON: " + where(at) + ": " + what).toStdString());
}

juce::String ProgramJsonReader::where(const char* at) const
{
    int line = 1;
    int column = 1;
    for (const char* i = text.c_str(); i < at; ++i)
    {
        if (*i == '\n')
        {
            column = 1;
            ++line;
        }
        else if ((*i & 0xc0) != 0x80)
            ++column;
    }
    return "line " + juce::String(line) + ", column " + juce::String(column);
}

void ProgramJsonReader::checkEncoding() const
{
    const char* const end = text.c_str() + text.size();
    for (const char* p = text.c_str(); p < end;)
    {
        if (*p == 0)
            fail("a NUL character", p);
        const int length = sequenceLength(reinterpret_cast<const unsigned char*>(p));
        if (length == 0)
            fail("invalid UTF-8 (byte 0x" +
                     juce::String::toHexString(static_cast<int>(static_cast<unsigned char>(*p)))
                         .toUpperCase() +
                     ")",
                 p);
        p += length;
    }
}

void ProgramJsonReader::skipSpace()
{
    while (*here == ' ' || (*here >= '\t' && *here <= '\r'))
        ++here;
}

bool ProgramJsonReader::matchIf(char c)
{
    if (*here != c || c == 0)
        return false;
    ++here;
    return true;
}

bool ProgramJsonReader::matchWord(const char* word)
{
    while (*word != 0)
        if (!matchIf(*word++))
            return false;
    return true;
}

void ProgramJsonReader::value(const Place* place)
{
    skipSpace();
    const char* const at = here;
    if (place != nullptr && (place->kind != Place::Kind::object && place->kind != Place::Kind::array))
        return leaf(*place);
    if (*at != '{' && *at != '[')
        return void(scalar());
    // A value of the wrong kind is read past, and the fields it should have held are missing.
    if (place != nullptr && (*at == '{') != (place->kind == Place::Kind::object))
        place = nullptr;
    if (path.size() >= ProgramJson::maxNesting)
        throw Error(("nested deeper than " + juce::String(ProgramJson::maxNesting) + " levels at " +
                     where(at) + ", inside " + ProgramJson::displayPath(path))
                        .toStdString());
    if (*here++ == '{')
        object(at, place);
    else
        array(at, place);
}

void ProgramJsonReader::object(const char* opening, const Place* place)
{
    for (;;)
    {
        skipSpace();
        if (matchIf('}'))
            return;
        const char* const at = here;
        if (!matchIf('"'))
            fail(*here == 0 ? "the text ends inside the object that starts at " + where(opening)
                            : juce::String("a name in double quotes belongs here"),
                 at);
        const auto name = string('"', at);
        if (name.empty())
            fail("a name is empty", at);
        skipSpace();
        if (!matchIf(':'))
            fail("':' belongs here", here);
        path.add(juce::String::fromUTF8(name.data(), static_cast<int>(name.size())));
        value(place == nullptr ? nullptr : member(*place));
        path.remove(path.size() - 1);
        skipSpace();
        if (matchIf('}'))
            return;
        if (*here == 0)
            fail("the text ends inside the object that starts at " + where(opening), here);
        if (!matchIf(','))
            fail("',' or '}' belongs here", here);
    }
}

void ProgramJsonReader::array(const char* opening, const Place* place)
{
    for (int index = 0;; ++index)
    {
        skipSpace();
        if (matchIf(']'))
            return;
        if (*here == 0)
            fail("the text ends inside the array that starts at " + where(opening), here);
        path.add(juce::String(index));
        value(place == nullptr ? nullptr : member(*place));
        path.remove(path.size() - 1);
        skipSpace();
        if (matchIf(']'))
            return;
        if (*here == 0)
            fail("the text ends inside the array that starts at " + where(opening), here);
        if (!matchIf(','))
            fail("',' or ']' belongs here", here);
    }
}

// The place the last part of the path names within parent, refused if it has none or was given before.
const ProgramJsonReader::Place* ProgramJsonReader::member(const Place& parent)
{
    const auto& name = path[path.size() - 1];
    for (const auto& [childName, child] : parent.children)
    {
        if (childName != name)
            continue;
        if (seen[static_cast<std::size_t>(child)])
            throw Error((ProgramJson::displayPath(path) + ": given twice").toStdString());
        seen[static_cast<std::size_t>(child)] = true;
        return &layout()[static_cast<std::size_t>(child)];
    }
    throw Error((ProgramJson::displayPath(path) + ": not a program value").toStdString());
}

void ProgramJsonReader::leaf(const Place& place)
{
    juce::var json;
    if (*here == '{' || *here == '[')
    {
        json = new Written(*here == '{' ? "an object" : "an array", Written::What::container);
        value(nullptr);
    }
    else
        json = scalar();

    if (place.kind == Place::Kind::format)
    {
        if (writtenOf(json) != nullptr || json.toString() != ProgramJson::formatName)
            throw Error(
                ("format: " + shown(json) + " is not \"" + ProgramJson::formatName + "\"").toStdString());
    }
    else if (place.kind == Place::Kind::version)
    {
        if (!json.isInt() || static_cast<int>(json) != ProgramJson::formatVersion)
            throw Error(("version: " + shown(json) + " is not " + juce::String(ProgramJson::formatVersion) +
                         " (made by another version of the tool?)")
                            .toStdString());
    }
    else
    {
        const auto& field = ProgramField::all()[static_cast<std::size_t>(place.fieldIndex)];
        field.write(image, valueOf(field, json));
    }
}

// Besides JSON, what the framework's parser took before: single-quoted strings, more escapes, raw
// control characters in strings, leading zeros.
juce::var ProgramJsonReader::scalar()
{
    const char* const at = here;
    switch (*here)
    {
    case '"':
    case '\'':
    {
        ++here;
        const auto bytes = string(*at, at);
        return juce::String::fromUTF8(bytes.data(), static_cast<int>(bytes.size()));
    }
    case 't':
        if (matchWord("true"))
            return true;
        break;
    case 'f':
        if (matchWord("false"))
            return false;
        break;
    case 'n':
        if (matchWord("null"))
            return {};
        break;
    default:
        if (*here == '-' || (*here >= '0' && *here <= '9'))
            return number();
        break;
    }
    fail(*at == 0 ? "the text ends where a value belongs" : "a value belongs here", at);
}

std::string ProgramJsonReader::string(char quote, const char* opening)
{
    std::string result;
    for (;;)
    {
        const char* const at = here;
        if (*here == 0)
            fail("the text ends inside the string that starts at " + where(opening), at);
        const char c = *here++;
        if (c == quote)
            return result;
        if (c != '\\')
        {
            result += c;
            continue;
        }
        juce::juce_wchar decoded = 0;
        switch (*here)
        {
        case 0:
            fail("the text ends inside the string that starts at " + where(opening), here);
        case 'a':
            decoded = '\a';
            break;
        case 'b':
            decoded = '\b';
            break;
        case 'f':
            decoded = '\f';
            break;
        case 'n':
            decoded = '\n';
            break;
        case 'r':
            decoded = '\r';
            break;
        case 't':
            decoded = '\t';
            break;
        case 'u':
            ++here;
            decoded = hexEscape(at);
            if (decoded >= 0xd800 && decoded < 0xdc00 && here[0] == '\\' && here[1] == 'u')
            {
                const char* const pair = here;
                here += 2;
                const auto low = hexEscape(pair);
                if (low >= 0xdc00 && low < 0xe000)
                    decoded = 0x10000 + ((decoded - 0xd800) << 10) + (low - 0xdc00);
                else
                    here = pair;
            }
            if (decoded == 0)
                fail("a string cannot hold \\u0000", at);
            if (decoded >= 0xd800 && decoded < 0xe000)
                decoded = 0xfffd;
            appendUtf8(result, decoded);
            continue;
        default: // the character itself, as "\"" or "\/"
            result += *here++;
            continue;
        }
        ++here;
        appendUtf8(result, decoded);
    }
}

juce::juce_wchar ProgramJsonReader::hexEscape(const char* at)
{
    juce::juce_wchar c = 0;
    for (int i = 0; i < 4; ++i)
    {
        const int digit = juce::CharacterFunctions::getHexDigitValue(static_cast<juce::juce_wchar>(*here));
        if (digit < 0)
            fail("\\u needs four hex digits", at);
        ++here;
        c = (c << 4) | static_cast<juce::juce_wchar>(digit);
    }
    return c;
}

juce::var ProgramJsonReader::number()
{
    const char* const begin = here;
    matchIf('-');
    std::string digits;
    long long exponent = 0;
    const auto isDigit = [this]() { return *here >= '0' && *here <= '9'; };
    const auto readDigits = [this, &digits, &isDigit]()
    {
        const auto first = digits.size();
        while (isDigit())
            digits += *here++;
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
        if (!isDigit())
            fail("a digit belongs here", here);
        // Beyond this the sign alone decides: the text is far shorter than the exponent.
        long long power = 0;
        while (isDigit())
            power = std::min(power * 10 + static_cast<long long>(*here++ - '0'), 1000000000LL);
        exponent += negative ? -power : power;
    }
    const juce::String written(begin, static_cast<std::size_t>(here - begin));

    // The value is digits * 10^exponent, with the digits' leading and trailing zeros taken off.
    const auto first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return 0;
    const auto last = digits.find_last_not_of('0');
    exponent += static_cast<long long>(digits.size() - last - 1);
    digits = digits.substr(first, last - first + 1);
    if (exponent < 0 || static_cast<long long>(digits.size()) + exponent > 9)
        return juce::var(
            new Written(written, exponent >= 0 ? Written::What::wholeNumber : Written::What::fraction));
    int value = std::stoi(digits);
    for (long long i = 0; i < exponent; ++i)
        value *= 10;
    return *begin == '-' ? -value : value;
}
