#pragma once

#include "model/Control.h"

#include <juce_core/juce_core.h>

#include <string>
#include <vector>

// Reads a program's JSON straight into a program image, in time linear in the text. A first pass
// checks the whole text (encoding, syntax, nesting), so broken text is reported as such wherever the
// break is; a second pass walks the program's own layout and refuses the first unknown, repeated or
// bad value where it stands. Refusals throw ProgramJson::Error.
class ProgramJsonReader
{
public:
    // UTF-8 (a byte order mark is skipped), or UTF-16 that starts with a byte order mark.
    static ByteArray read(const char* data, std::size_t size);

    // A place in a program's JSON; the layout is a vector of them, the root first.
    struct Place
    {
        enum class Kind
        {
            object,
            array,
            field,
            format,
            version
        };
        Kind kind = Kind::object;
        int fieldIndex = -1;
        std::vector<std::pair<juce::String, int>> children;
    };

private:
    explicit ProgramJsonReader(std::string utf8);

    [[noreturn]] void fail(const juce::String& what, const char* at) const;
    juce::String where(const char* at) const;
    void checkEncoding() const;

    void skipSpace();
    bool matchIf(char c);
    bool matchWord(const char* word);

    // place is where the value belongs in a program, or null to check its syntax only.
    void value(const Place* place);
    void object(const char* opening, const Place* place);
    void array(const char* opening, const Place* place);
    const Place* member(const Place& parent);
    void leaf(const Place& place);
    juce::var scalar();
    std::string string(char quote, const char* opening);
    juce::juce_wchar hexEscape(const char* at);
    juce::var number();

    const std::string text;
    const char* here;
    juce::StringArray path;
    std::vector<bool> seen;
    ByteArray image;
};
