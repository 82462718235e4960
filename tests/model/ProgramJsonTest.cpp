#include "model/ProgramImage.h"
#include "model/ProgramJson.h"
#include "model/ProgramFile.h"
#include "support/ProgramFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
// The default program's JSON with one field replaced by a JSON value (a fragment of JSON text).
juce::String withField(const juce::StringArray& path, const juce::String& jsonValue)
{
    juce::var json = ProgramJson::toJson(ProgramImage::makeDefault());
    juce::var node = json;
    for (int i = 0; i + 1 < path.size(); ++i)
        node = node.getArray() != nullptr ? (*node.getArray())[path[i].getIntValue()]
                                          : node[juce::Identifier(path[i])];
    juce::var value;
    if (jsonValue.isNotEmpty())
        value = juce::JSON::fromString(jsonValue);
    auto* object = node.getDynamicObject();
    if (jsonValue.isEmpty())
        object->removeProperty(path[path.size() - 1]);
    else
        object->setProperty(path[path.size() - 1], value);
    return juce::JSON::toString(json);
}

juce::String importError(const juce::String& text)
{
    try
    {
        ProgramJson::fromText(text);
    }
    catch (const ProgramJson::Error& error)
    {
        return error.what();
    }
    return "accepted";
}
} // namespace

TEST(ProgramJson, ExportThenImportGivesBackTheFileByteForByte)
{
    juce::Random random(31);
    for (int run = 0; run < 500; ++run)
    {
        ByteArray image = ProgramFile::makeImage(fixtures::randomModel(random).toSysExData());
        const ByteArray file = image;
        // A dump saved as it came: another command and program number, which the file form drops.
        if (run % 5 == 0)
        {
            image[4] = ProgramSysEx::programDumpCommand;
            image[7] = static_cast<std::uint8_t>(random.nextInt(5));
        }
        ASSERT_EQ(ProgramJson::fromText(ProgramJson::toText(image)), file);
    }
}

TEST(ProgramJson, ReadsAsThePanelDoes)
{
    ProgramModel model = ProgramModel::makeDefault();
    model.setGlobal(ProgramModel::arpOn, 1);
    model.setGlobal(ProgramModel::arpTimeDivision, 4);
    model.pad(0, 2).noteValue = 50;
    model.pad(0, 2).isToggle = false;
    model.setKnob(7, KnobData::maxValueField, 99);
    const juce::var json = ProgramJson::toJson(ProgramFile::makeImage(model.toSysExData()));

    EXPECT_EQ(json["format"].toString(), "Velkor program");
    EXPECT_EQ(static_cast<int>(json["version"]), 1);
    EXPECT_TRUE(json["arpeggiator"]["on"].isBool());
    EXPECT_TRUE(static_cast<bool>(json["arpeggiator"]["on"]));
    EXPECT_EQ(json["arpeggiator"]["timeDivision"].toString(), "1/8T");
    EXPECT_EQ(json["arpeggiator"]["latch"].toString(), "OFF");
    const juce::var pad = (*json["pads"]["A"].getArray())[2];
    EXPECT_EQ(static_cast<int>(pad["note"]), 50);
    EXPECT_EQ(pad["trigger"].toString(), "Momentary");
    EXPECT_EQ(json["pads"]["B"].getArray()->size(), 8);
    EXPECT_EQ(static_cast<int>((*json["knobs"].getArray())[7]["hi"]), 99);

    // Hand-written JSON may leave out the format lines; choices are spelt as the panel does.
    juce::var edited = json;
    edited.getDynamicObject()->removeProperty("format");
    edited["arpeggiator"].getDynamicObject()->setProperty("mode", "RANDOM");
    edited["arpeggiator"].getDynamicObject()->setProperty("on", false);
    const ByteArray image = ProgramJson::fromJson(edited);
    EXPECT_EQ(image[12], 5);
    EXPECT_EQ(image[11], 0);
}

TEST(ProgramJson, RefusesABadValueByItsFieldName)
{
    struct Case
    {
        juce::StringArray path;
        juce::String value;
        juce::String error;
    };
    const Case cases[] = {
        {{"arpeggiator", "tempo"}, "256", "arpeggiator.tempo (Arpeggiator TEMPO): 256 is outside 0 to 255"},
        {{"arpeggiator", "tempo"}, "-1", "arpeggiator.tempo (Arpeggiator TEMPO): -1 is outside 0 to 255"},
        {{"arpeggiator", "tempoTaps"},
         "12.5",
         "arpeggiator.tempoTaps (Arpeggiator TEMPO TAPS): 12.5 is not a whole number"},
        {{"channels", "pad"}, "\"10\"", "channels.pad (Pad MIDI Channel): \"10\" is not a number"},
        {{"channels", "pad"}, "0", "channels.pad (Pad MIDI Channel): 0 is outside 1 to 16"},
        {{"keybed", "transpose"}, "13", "keybed.transpose (Keybed TRANSPOSE): 13 is outside -12 to 12"},
        {{"keybed", "octave"},
         "99999999999",
         "keybed.octave (Keybed OCTAVE): 99999999999 is outside -4 to 4"},
        {{"arpeggiator", "swing"},
         "\"52%\"",
         "arpeggiator.swing (Arpeggiator SWING): \"52%\" is not one of 50%, 55%, 57%, 59%, 61%, 64%"},
        {{"arpeggiator", "on"}, "1", "arpeggiator.on (Arpeggiator ON/OFF): 1 is not one of true, false"},
        {{"pads", "B", "7", "note"}, "128", "pads.B[7].note (Pad B8 Note): 128 is outside 0 to 127"},
        {{"pads", "A", "0", "trigger"},
         "2",
         "pads.A[0].trigger (Pad A1 Trigger): 2 is not one of Momentary, Toggle"},
        {{"knobs", "3", "lo"}, "", "knobs[3].lo (Knob 4 LO): missing"},
        {{"joystick", "x", "type"},
         "\"CC 3\"",
         "joystick.x.type (Joystick X AXIS message type): \"CC 3\" is not one of Pitchbend, CC 1, CC 2"},
        {{"joystick", "y", "secondcc"}, "5", "joystick.y.secondcc: not a program value"},
        {{"version"}, "2", "version: 2 is not 1 (made by another version of the tool?)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(importError(withField(c.path, c.value)), c.error) << c.path.joinIntoString(".");

    EXPECT_EQ(importError("[1, 2]"), "the JSON is not an object of program values");
    EXPECT_TRUE(importError("{\"format\": ").startsWith("not JSON: ")) << importError("{\"format\": ");
    EXPECT_EQ(importError("{}"), "channels.pad (Pad MIDI Channel): missing");

    juce::var json = ProgramJson::toJson(ProgramImage::makeDefault());
    const juce::var extraKnob = json["knobs"][0].clone();
    json["knobs"].getArray()->add(extraKnob);
    EXPECT_EQ(importError(juce::JSON::toString(json)), "knobs[8]: not a program value");
}

namespace
{
// The default program's JSON with one field's value replaced by number text as written.
juce::String withNumber(const juce::StringArray& path, const juce::String& number)
{
    return withField(path, "\"@number@\"").replace("\"@number@\"", number);
}
} // namespace

TEST(ProgramJson, JudgesNumbersOnTheirDigitsAsWritten)
{
    const juce::StringArray tempo{"arpeggiator", "tempo"};
    const juce::String tempoName = "arpeggiator.tempo (Arpeggiator TEMPO): ";
    const struct
    {
        juce::StringArray path;
        juce::String number;
        juce::String error;
    } refused[] = {
        {tempo, "18446744073709551744", tempoName + "18446744073709551744 is outside 0 to 255"},
        {tempo, "1e400", tempoName + "1e400 is outside 0 to 255"},
        {tempo, "-1E+400", tempoName + "-1E+400 is outside 0 to 255"},
        {tempo, "1e-400", tempoName + "1e-400 is not a whole number"},
        {tempo, "128.5", tempoName + "128.5 is not a whole number"},
        {tempo, "2.56e2", tempoName + "256 is outside 0 to 255"},
        {tempo, juce::String::repeatedString("9", 60),
         tempoName + juce::String::repeatedString("9", 37) + "... is outside 0 to 255"},
        {{"pads", "A", "0", "trigger"},
         "1e400",
         "pads.A[0].trigger (Pad A1 Trigger): 1e400 is not one of Momentary, Toggle"},
        {{"version"}, "4294967297", "version: 4294967297 is not 1 (made by another version of the tool?)"},
        {{"version"},
         "18446744073709551617",
         "version: 18446744073709551617 is not 1 (made by another version of the tool?)"},
    };
    for (const auto& c : refused)
        EXPECT_EQ(importError(withNumber(c.path, c.number)), c.error) << c.number;

    // Whole numbers however written, and what the framework's parser took before: single quotes,
    // trailing commas, leading zeros.
    const struct
    {
        juce::StringArray path;
        juce::String number;
        juce::String plain;
    } accepted[] = {
        {tempo, "1.28e2", "128"},
        {tempo, "128.000", "128"},
        {tempo, "0096", "96"},
        {{"keybed", "transpose"}, "-0", "0"},
        {{"keybed", "octave"}, "-4.0E0", "-4"},
    };
    for (const auto& c : accepted)
        EXPECT_EQ(ProgramJson::fromText(withNumber(c.path, c.number)),
                  ProgramJson::fromText(withNumber(c.path, c.plain)))
            << c.number;
    const juce::String loose = ProgramJson::toText(ProgramImage::makeDefault())
                                   .replace("\"Velkor program\"", "'Velkor program'")
                                   .replace("\n}", ",\n}");
    EXPECT_EQ(ProgramJson::fromText(loose), ProgramImage::makeDefault());
}

TEST(ProgramJson, RefusesDeepNestingAndBrokenTextWithoutCrashing)
{
    const auto nested = [](int depth) // an object holding "x", then arrays down to the given depth
    {
        return "{\"x\": " + juce::String::repeatedString("[", depth - 1) +
               juce::String::repeatedString("]", depth - 1) + "}";
    };
    const struct
    {
        juce::String text;
        juce::String error;
    } cases[] = {
        {nested(ProgramJson::maxNesting), "x: not a program value"},
        {nested(ProgramJson::maxNesting + 1), "nested deeper than 16 levels at line 1, column 22, inside x" +
                                                  juce::String::repeatedString("[0]", 15)},
        {juce::String::repeatedString("[", 80000) + juce::String::repeatedString("]", 80000),
         "nested deeper than 16 levels at line 1, column 17, inside " +
             juce::String::repeatedString("[0]", 16)},
        {"{\"a\": \"[[[[[[[[[[[[[[[[[[\\\"[[[[\"}", "a: not a program value"},
        {"{\"\": 1}", "not JSON: line 1, column 2: a name is empty"},
        {"{} {}", "not JSON: line 1, column 4: more text after the JSON"},
        {"{\"a\": -}", "not JSON: line 1, column 8: a digit belongs here"},
        {"{\"a\": 1.}", "not JSON: line 1, column 9: a digit belongs here"},
        {"{\"a\": \"\\u0000\"}", "not JSON: line 1, column 8: a string cannot hold \\u0000"},
        {"{\"a\": [1,\n 2",
         "not JSON: line 2, column 3: the text ends inside the array that starts at line 1, column 7"},
        {"{\"a\": \"abc",
         "not JSON: line 1, column 11: the text ends inside the string that starts at line 1, column 7"},
        {"", "the JSON is not an object of program values"},
        {"1e400", "the JSON is not an object of program values"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(importError(c.text), c.error) << c.text.substring(0, 60);
}

TEST(ProgramJson, RefusesHostileTextWhereItStands)
{
    const std::string json = ProgramJson::toText(ProgramImage::makeDefault()).toStdString();
    const auto edited = [&json](const std::string& from, const std::string& to)
    {
        const auto at = json.find(from);
        return at == std::string::npos ? "no " + from
                                       : json.substr(0, at) + to + json.substr(at + from.size());
    };
    const auto utf16 = [](const std::string& ascii)
    {
        std::string text = "\xff\xfe";
        for (const char c : ascii)
            text += std::string{c, '\0'};
        return text;
    };
    const struct
    {
        std::string input;
        std::string error;
    } cases[] = {
        {edited("\"version\": 1", "\"version\": 1, \"version\": 1"), "version: given twice"},
        {edited("\"tempo\": ", "\"tempo\": 1, \"tempo\": "), "arpeggiator.tempo: given twice"},
        {"{\"arpegiator\": {}, " + json.substr(1), "arpegiator: not a program value"},
        {json + std::string(1, '\0') + "{}",
         "line " + std::to_string(std::count(json.begin(), json.end(), '\n') + 1) +
             ", column 1: a NUL character"},
        {edited("\"UP\"", std::string("\"U\0P\"", 5)), ": a NUL character"},
        {edited("\"UP\"", "\"\xc1\x95P\""), "invalid UTF-8 (byte 0xC1)"},        // overlong "U"
        {edited("\"UP\"", "\"\xe0\x81\x95P\""), "invalid UTF-8 (byte 0xE0)"},    // overlong "U"
        {edited("\"UP\"", "\"\xed\xa0\x80\""), "invalid UTF-8 (byte 0xED)"},     // a surrogate
        {edited("\"UP\"", "\"\xf4\x90\x80\x80\""), "invalid UTF-8 (byte 0xF4)"}, // past U+10FFFF
        {edited("\"UP\"", "\"\xff\xfe\""), "invalid UTF-8 (byte 0xFF)"},
        {json.substr(0, json.size() - 2) + "\xe2\x82", "invalid UTF-8 (byte 0xE2)"}, // cut short
        {edited("\"UP\"", "\" UP\""), "(Arpeggiator MODE): \" UP\" is not one of UP, DOWN"},
        {edited("\"UP\"", "\"up\""), "(Arpeggiator MODE): \"up\" is not one of UP, DOWN"},
        {edited("\"on\": false", "\"on\": \"OFF\""),
         "(Arpeggiator ON/OFF): \"OFF\" is not one of true, false"},
        {edited("\"channels\": {", "\"channels\": ["), "',' or ']' belongs here"},
        {edited("\"channels\": {", "\"channels\": {\"pad\": {}, "),
         "channels.pad (Pad MIDI Channel): an object is not"},
        {utf16("{}") + "x", "not JSON: UTF-16 text with an odd number of bytes"},
        {utf16("{\"a") + std::string("\0\xd8", 2) + utf16("\": 1}").substr(2),
         "not JSON: UTF-16 text with an unpaired surrogate"},
        {utf16("{\"a\": 1}\n"), "a: not a program value"},
    };
    for (const auto& c : cases)
    {
        std::string error = "accepted";
        try
        {
            ProgramJson::fromBytes(c.input.data(), c.input.size());
        }
        catch (const ProgramJson::Error& refusal)
        {
            error = refusal.what();
        }
        EXPECT_NE(error.find(c.error), std::string::npos) << c.error << " <- " << error;
    }
    // Escapes spell the same text; UTF-16 with a byte order mark reads as before.
    EXPECT_EQ(ProgramJson::fromText(juce::String(edited("\"UP\"", "\"\\u0055P\""))),
              ProgramImage::makeDefault());
    EXPECT_EQ(ProgramJson::fromBytes(utf16(json).data(), utf16(json).size()), ProgramImage::makeDefault());
}
