#pragma once

#include "model/Control.h"

#include <juce_core/juce_core.h>

#include <stdexcept>

// A program as JSON with named fields, for scripts and version control. Choices are their item texts,
// the arpeggiator switch a boolean; everything else is a number in the panel's own terms.
namespace ProgramJson
{
constexpr const char* formatName = "Velkor program";
constexpr int formatVersion = 1;
// Objects and arrays within one another; a program's JSON needs 3.
constexpr int maxNesting = 16;

// A JSON text that is not a program; what() names the field and says what is wrong with it.
class Error : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

juce::var toJson(const ByteArray& image);
juce::String toText(const ByteArray& image);

// The program image (file header) the JSON describes. Every field must be present and valid, and
// nothing else may be there, so a misspelt name is never silently dropped.
ByteArray fromJson(const juce::var& json);
// Nesting deeper than maxNesting is refused, and every number is judged on its digits as written. Time
// is linear in the text; a name given twice or unknown is refused where it stands, as are a NUL and
// bytes that are not UTF-8. Choices are matched exactly as the panel writes them.
ByteArray fromText(const juce::String& text);
// The bytes of a file or stream: UTF-8 (a byte order mark is skipped), or UTF-16 with a byte order mark.
ByteArray fromBytes(const char* data, std::size_t size);

// "pads.A[3].note"
juce::String displayPath(const juce::StringArray& path);
} // namespace ProgramJson
