#include "support/TestSupport.h"
#include "midi/DeviceManagerComponent.h"
#include "model/EditorController.h"
#include "tools/AutoPolulateToolComponent.h"
#include "tools/LibrarianComponent.h"
#include "ui/AboutComponent.h"
#include "ui/PanelLook.h"
#include "visual/ImageComparison.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace
{
// A widget moved by 2 px changes a few dozen pixels at least; anti-aliasing noise stays far below, as
// does the step or two a partly transparent pixel loses on its way through a PNG file.
constexpr int channelTolerance = 24;
constexpr int differingPixelLimit = 8;

juce::File referenceFolder()
{
    return juce::File(VELKOR_VISUAL_REFERENCES);
}

juce::File mismatchFolder()
{
    return juce::File(VELKOR_VISUAL_DIFFS);
}

// scripts/refresh-visual-references sets it after an intended change to the look.
bool refreshingReferences()
{
    return juce::SystemStats::getEnvironmentVariable("VELKOR_UPDATE_REFERENCES", {}) == "1";
}

// A redraw there would turn every visual test into a pass, whatever the panels look like.
bool underCi()
{
    return juce::SystemStats::getEnvironmentVariable("CI", {}).equalsIgnoreCase("true");
}

bool isOpaque(const juce::Image& image)
{
    const juce::Image::BitmapData pixels(image, juce::Image::BitmapData::readOnly);
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x)
            if (pixels.getPixelColour(x, y).getAlpha() != 0xff)
                return false;
    return true;
}

// Opaque pictures are kept without alpha, a quarter smaller; read back, they compare equal.
bool writePng(const juce::Image& image, const juce::File& file)
{
    if (!file.getParentDirectory().createDirectory() || (file.exists() && !file.deleteFile()))
        return false;
    const juce::Image stored =
        image.hasAlphaChannel() && isOpaque(image) ? image.convertedToFormat(juce::Image::RGB) : image;
    {
        juce::FileOutputStream out(file);
        juce::PNGImageFormat png;
        if (!out.openedOk() || !png.writeImageToStream(stored, out))
            return false;
        out.flush();
        if (out.getStatus().failed())
            return false;
    }
    return juce::ImageFileFormat::loadFrom(file).getBounds() == image.getBounds();
}

// On a mismatch NAME.rendered.png and NAME.diff.png go into the mismatch folder; a match removes
// pictures left there by an earlier mismatch.
::testing::AssertionResult matchesReference(const juce::Image& rendered, const juce::File& reference,
                                            const juce::File& mismatches)
{
    const juce::String name = reference.getFileNameWithoutExtension();
    const juce::File renderedFile = mismatches.getChildFile(name + ".rendered.png");
    const juce::File diffFile = mismatches.getChildFile(name + ".diff.png");
    const juce::Image expected =
        reference.existsAsFile() ? juce::ImageFileFormat::loadFrom(reference) : juce::Image();
    const ImageComparison comparison(expected, rendered, channelTolerance);

    juce::String problem;
    if (!expected.isValid())
        problem << "no readable reference " << reference.getFullPathName();
    else if (!comparison.sizesMatch())
        problem << "rendered " << rendered.getWidth() << " x " << rendered.getHeight() << ", reference "
                << expected.getWidth() << " x " << expected.getHeight();
    else if (comparison.getDifferingPixels() > differingPixelLimit)
        problem << comparison.getDifferingPixels() << " pixels differ (limit " << differingPixelLimit
                << ", a channel counts beyond " << channelTolerance << "; largest difference "
                << comparison.getLargestChannelDifference() << ", within "
                << comparison.getDifferingArea().toString() << ")";

    if (problem.isEmpty())
    {
        renderedFile.deleteFile();
        diffFile.deleteFile();
        return ::testing::AssertionSuccess()
               << name << ": " << comparison.getDifferingPixels() << " pixels differ, largest difference "
               << comparison.getLargestChannelDifference();
    }

    const bool written =
        writePng(rendered, renderedFile) && writePng(comparison.makeDifferencePicture(), diffFile);
    return ::testing::AssertionFailure()
           << name << ": " << problem << "\n  rendered:   " << renderedFile.getFullPathName()
           << "\n  difference: " << diffFile.getFullPathName()
           << (written ? "" : "\n  (could not write them)");
}

::testing::AssertionResult looksAsBefore(const juce::Image& rendered, const juce::File& reference,
                                         const juce::File& mismatches)
{
    if (!refreshingReferences())
    {
        auto result = matchesReference(rendered, reference, mismatches);
        if (result)
            std::cout << result.message() << "\n";
        return result;
    }
    if (underCi())
        return ::testing::AssertionFailure()
               << reference.getFileNameWithoutExtension()
               << ": VELKOR_UPDATE_REFERENCES=1, but reference updating is refused under CI (CI=true); "
                  "nothing was written or compared";
    if (!writePng(rendered, reference))
        return ::testing::AssertionFailure() << "cannot write " << reference.getFullPathName();
    std::cout << "wrote " << reference.getFullPathName() << "\n";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult looksAsBefore(const juce::Image& rendered, const juce::String& name)
{
    return looksAsBefore(rendered, referenceFolder().getChildFile(name + ".png"), mismatchFolder());
}

// Lets the queued selections and texts land, as they have once a window is up; a scale above 1 draws
// as a screen at that scale does.
juce::Image render(juce::Component& panel, float scale = 1.0f)
{
    testsupport::pumpMessages(50);
    return panel.createComponentSnapshot(panel.getLocalBounds(), true, scale);
}

struct FixedPorts : MidiDeviceLink
{
    juce::StringArray getMidiInputNames() override
    {
        return {"Midi Through Port-0", "Velkor MIDI 1", "Desk Keys MIDI 1"};
    }
    juce::StringArray getMidiOutputNames() override { return {"Midi Through Port-0", "Velkor MIDI 1"}; }
    void applyDeviceNames(juce::StringArray, juce::StringArray) override {}
    void closeDeviceSetup() override {}
};

// Every axis layout appears once over the three joystick pictures: the default program shows X
// Pitchbend and Y CC 1, the second program X CC 2 and Y Pitchbend, the joystick picture X CC 1 and
// Y CC 2.
void loadSecondProgram(EditorController& controller)
{
    controller.resetToDefaults();
    const int globals[][2] = {
        {ProgramModel::padChannel, 10}, {ProgramModel::keybedChannel, 16},  {ProgramModel::arpOn, 1},
        {ProgramModel::arpMode, 4},     {ProgramModel::arpTimeDivision, 6}, {ProgramModel::arpClock, 2},
        {ProgramModel::arpLatch, 2},    {ProgramModel::arpSwing, 3},        {ProgramModel::arpTempoTaps, 4},
        {ProgramModel::arpTempo, 200},  {ProgramModel::arpOctaveRange, 3},  {ProgramModel::transposition, -7},
        {ProgramModel::keybedOctave, 2}};
    for (const auto& [id, value] : globals)
        controller.setGlobalValue(id, value);
    controller.setJoystickValue(0, JoystickAxisData::messageTypeField, 3);
    controller.setJoystickValue(0, JoystickAxisData::firstCcField, 74);
    controller.setJoystickValue(0, JoystickAxisData::secondCcField, 71);
    controller.setJoystickValue(1, JoystickAxisData::messageTypeField, 1);
    for (int bank = 0; bank < 2; ++bank)
        for (int pad = 0; pad < 8; ++pad)
        {
            controller.setPadValue(bank, pad, PadData::noteField, 60 + 12 * bank + pad);
            controller.setPadValue(bank, pad, PadData::ccField, 100 + 8 * bank + pad);
            controller.setPadValue(bank, pad, PadData::programChangeField, 127 - 8 * bank - pad);
            controller.setPadValue(bank, pad, PadData::triggerTypeField,
                                   pad % 2 == 0 ? PadData::momentaryId : PadData::toggleId);
        }
    for (int knob = 0; knob < 8; ++knob)
    {
        controller.setKnobValue(knob, 0, 20 + knob);
        controller.setKnobValue(knob, 1, 5 * knob);
        controller.setKnobValue(knob, 2, 127 - 9 * knob);
    }
}

// In the editor, the other panels open while an editor panel's look is the desktop default; each
// test starts from that, whatever earlier tests in this process left behind.
class VisualRegression : public ::testing::Test
{
protected:
    void SetUp() override { juce::Desktop::getInstance().setDefaultLookAndFeel(&editorLook); }
    void TearDown() override { juce::Desktop::getInstance().setDefaultLookAndFeel(nullptr); }

    PanelLook editorLook;
};
} // namespace

TEST_F(VisualRegression, EditorWithTheDefaultProgram)
{
    EditorComponent editor;
    EditorController controller(&editor);
    controller.resetToDefaults();
    const juce::Image rendered = render(editor);
    ASSERT_EQ(editor.joystickPanel->xAxisCombo->getSelectedId(), 1);
    ASSERT_EQ(editor.joystickPanel->yAxisCombo->getSelectedId(), 2);
    EXPECT_TRUE(looksAsBefore(rendered, "editor-default"));
}

TEST_F(VisualRegression, EditorWithASecondProgram)
{
    EditorComponent editor;
    EditorController controller(&editor);
    loadSecondProgram(controller);
    const juce::Image rendered = render(editor);
    ASSERT_EQ(editor.joystickPanel->xAxisCombo->getSelectedId(), 3);
    ASSERT_EQ(editor.joystickPanel->yAxisCombo->getSelectedId(), 1);
    ASSERT_EQ(controller.getModel().getGlobal(ProgramModel::arpTempo), 200) << "a value was refused";
    EXPECT_TRUE(looksAsBefore(rendered, "editor-second-program"));
}

TEST_F(VisualRegression, JoystickWithTheRemainingLayouts)
{
    EditorComponent editor;
    EditorController controller(&editor);
    controller.resetToDefaults();
    controller.setJoystickValue(0, JoystickAxisData::messageTypeField, 2);
    controller.setJoystickValue(0, JoystickAxisData::firstCcField, 16);
    controller.setJoystickValue(1, JoystickAxisData::messageTypeField, 3);
    controller.setJoystickValue(1, JoystickAxisData::firstCcField, 118);
    controller.setJoystickValue(1, JoystickAxisData::secondCcField, 7);
    const juce::Image rendered = render(*editor.joystickPanel);
    ASSERT_EQ(editor.joystickPanel->xAxisCombo->getSelectedId(), 2);
    ASSERT_EQ(editor.joystickPanel->yAxisCombo->getSelectedId(), 3);
    EXPECT_TRUE(looksAsBefore(rendered, "joystick-x-cc1-y-cc2"));
}

TEST_F(VisualRegression, AutoPopulatePanel)
{
    AutoPolulateToolComponent panel;
    EXPECT_TRUE(looksAsBefore(render(panel), "auto-populate"));
}

TEST_F(VisualRegression, DeviceSetupWithFixedPorts)
{
    FixedPorts ports;
    DeviceManagerComponent panel(ports);
    panel.setDeviceLists(ports.getMidiInputNames(), ports.getMidiOutputNames());
    panel.inputList->selectRow(1);
    panel.outputList->selectRow(1);
    EXPECT_TRUE(looksAsBefore(render(panel), "device-setup"));
}

TEST_F(VisualRegression, AboutPanel)
{
    AboutComponent panel;
    EXPECT_TRUE(looksAsBefore(render(panel), "about"));
}

// At 200 % every picture comes from its 2x file and the text is drawn at twice the size: nothing is
// a 1x picture stretched.
TEST_F(VisualRegression, PanelsAtTwiceTheScale)
{
    EditorComponent editor;
    EditorController controller(&editor);
    controller.resetToDefaults();
    AutoPolulateToolComponent autoPopulate;
    FixedPorts ports;
    DeviceManagerComponent deviceSetup(ports);
    deviceSetup.setDeviceLists(ports.getMidiInputNames(), ports.getMidiOutputNames());
    deviceSetup.inputList->selectRow(1);
    deviceSetup.outputList->selectRow(1);
    Librarian::Services services;
    services.send = [](const juce::MidiMessage&) { return false; };
    services.inputName = services.outputName = [] { return juce::String("Velkor MIDI 1"); };
    services.watch = [](std::shared_ptr<MidiMonitor>) {};
    Librarian librarian(services);
    LibrarianComponent librarianPanel(librarian);

    const std::pair<juce::Component*, const char*> panels[] = {{&editor, "editor-default-2x"},
                                                               {&autoPopulate, "auto-populate-2x"},
                                                               {&deviceSetup, "device-setup-2x"},
                                                               {&librarianPanel, "librarian-2x"}};
    for (const auto& [panel, name] : panels)
    {
        SCOPED_TRACE(name);
        const juce::Image rendered = render(*panel, 2.0f);
        ASSERT_EQ(rendered.getBounds(), (panel->getLocalBounds() * 2));
        EXPECT_TRUE(looksAsBefore(rendered, name));
    }
}

namespace
{
// A folder of pictures of a test's own, gone at its end.
struct ScratchFolder
{
    const juce::File folder = juce::File::getSpecialLocation(juce::File::tempDirectory)
                                  .getNonexistentChildFile("velkor-visual", {}, false);
    ~ScratchFolder() { folder.deleteRecursively(); }
};

// Environment variables set (or, given nullptr, unset) for one test; the earlier values come back.
class EnvironmentForTest
{
public:
    EnvironmentForTest(std::initializer_list<std::pair<const char*, const char*>> values)
    {
        for (const auto& [name, value] : values)
        {
            const char* before = std::getenv(name);
            saved.emplace_back(name, before == nullptr ? std::nullopt : std::optional<std::string>(before));
            put(name, value);
        }
    }
    ~EnvironmentForTest()
    {
        for (const auto& [name, value] : saved)
            put(name.c_str(), value ? value->c_str() : nullptr);
    }

private:
    static void put(const char* name, const char* value)
    {
#if JUCE_WINDOWS
        _putenv_s(name, value == nullptr ? "" : value); // an empty value removes it
#else
        if (value == nullptr)
            unsetenv(name);
        else
            setenv(name, value, 1);
#endif
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

juce::Image plainPicture(int width, int height, juce::Colour colour)
{
    juce::Image image(juce::Image::ARGB, width, height, true);
    image.clear(image.getBounds(), colour);
    return image;
}
} // namespace

TEST(VisualComparison, CountsPixelsBeyondTheTolerance)
{
    const juce::Colour grey(0xff404040);
    struct Case
    {
        const char* what;
        juce::Colour changed;
        int differing, largest;
    };
    const Case cases[] = {
        {"the same", grey, 0, 0},
        {"red at the tolerance", juce::Colour::fromRGB(juce::uint8(0x40 + channelTolerance), 0x40, 0x40), 0,
         channelTolerance},
        {"blue one beyond", juce::Colour::fromRGB(0x40, 0x40, juce::uint8(0x40 - channelTolerance - 1)), 1,
         channelTolerance + 1},
        {"alpha only", grey.withAlpha(juce::uint8(0x80)), 1, 0x7f},
        {"white", juce::Colours::white, 1, 0xff - 0x40},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        const juce::Image expected = plainPicture(20, 10, grey);
        juce::Image actual = expected.createCopy();
        actual.setPixelAt(13, 7, c.changed);
        const ImageComparison comparison(expected, actual, channelTolerance);
        ASSERT_TRUE(comparison.sizesMatch());
        EXPECT_EQ(comparison.getDifferingPixels(), c.differing);
        EXPECT_EQ(comparison.getLargestChannelDifference(), c.largest);
        EXPECT_EQ(comparison.getDifferingArea(),
                  c.differing == 0 ? juce::Rectangle<int>() : juce::Rectangle<int>(13, 7, 1, 1));
        const juce::Image diff = comparison.makeDifferencePicture();
        EXPECT_EQ(diff.getPixelAt(13, 7) == juce::Colour(0xffff0000), c.differing == 1);
        EXPECT_NE(diff.getPixelAt(0, 0), juce::Colour(0xffff0000));
    }
}

TEST(VisualComparison, OtherSizeIsAMismatchAndItsExtraPixelsAreRed)
{
    const juce::Image expected = plainPicture(20, 10, juce::Colours::grey);
    const juce::Image actual = plainPicture(20, 12, juce::Colours::grey);
    const ImageComparison comparison(expected, actual, channelTolerance);
    EXPECT_FALSE(comparison.sizesMatch());
    const juce::Image diff = comparison.makeDifferencePicture();
    ASSERT_EQ(diff.getBounds(), actual.getBounds());
    EXPECT_NE(diff.getPixelAt(5, 5), juce::Colour(0xffff0000));
    EXPECT_EQ(diff.getPixelAt(5, 11), juce::Colour(0xffff0000));
    EXPECT_FALSE(ImageComparison({}, actual, channelTolerance).sizesMatch());
}

// The limits must let identical renders through and catch the smallest layout slip worth a test.
TEST_F(VisualRegression, AWidgetMovedByTwoPixelsIsCaught)
{
    struct Case
    {
        const char* what;
        std::function<juce::Component&(EditorComponent&)> widget;
        juce::Point<int> shift;
    };
    const Case cases[] = {
        {"joystick Y CC box",
         [](EditorComponent& e) -> juce::Component& { return *e.joystickPanel->yFirstCcBox; },
         {2, 0}},
        {"joystick X type combo",
         [](EditorComponent& e) -> juce::Component& { return *e.joystickPanel->xAxisCombo; },
         {0, 2}},
        {"pad B8 note box",
         [](EditorComponent& e) -> juce::Component& { return *e.padBankB->pads[7]->noteValueBox; },
         {0, -2}},
        {"knob 3 maximum box",
         [](EditorComponent& e) -> juce::Component& { return *e.knobBank->knobs[2]->maxValueBox; },
         {-2, 0}},
        {"joystick Y plus sign",
         [](EditorComponent& e) -> juce::Component& { return *e.joystickPanel->yPlusLabel; },
         {2, 0}},
    };
    EditorComponent editor;
    EditorController controller(&editor);
    controller.resetToDefaults();
    const juce::Image before = render(editor);
    const ImageComparison unchanged(before, render(editor), channelTolerance);
    EXPECT_EQ(unchanged.getDifferingPixels(), 0);
    EXPECT_EQ(unchanged.getLargestChannelDifference(), 0);

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        juce::Component& widget = c.widget(editor);
        const juce::Point<int> place = widget.getPosition();
        widget.setTopLeftPosition(place + c.shift);
        const ImageComparison moved(before, render(editor), channelTolerance);
        widget.setTopLeftPosition(place);
        EXPECT_GT(moved.getDifferingPixels(), differingPixelLimit);
    }
}

TEST_F(VisualRegression, AMismatchLeavesTheRenderedAndDifferencePicturesNamedInTheMessage)
{
    ScratchFolder scratch;
    const juce::File& folder = scratch.folder;
    const juce::File references = folder.getChildFile("references");
    const juce::File mismatches = folder.getChildFile("mismatches");
    const juce::File reference = references.getChildFile("about.png");

    AboutComponent panel;
    const juce::Image before = render(panel);
    ASSERT_TRUE(writePng(before, reference));
    EXPECT_TRUE(matchesReference(before, reference, mismatches));

    panel.versionLabel->setTopLeftPosition(panel.versionLabel->getPosition().translated(0, 2));
    const juce::Image moved = render(panel);
    const auto result = matchesReference(moved, reference, mismatches);
    const juce::File renderedFile = mismatches.getChildFile("about.rendered.png");
    const juce::File diffFile = mismatches.getChildFile("about.diff.png");
    EXPECT_FALSE(result);
    const juce::String message(result.message());
    EXPECT_TRUE(message.contains(renderedFile.getFullPathName())) << message;
    EXPECT_TRUE(message.contains(diffFile.getFullPathName())) << message;
    EXPECT_TRUE(message.contains("(limit " + juce::String(differingPixelLimit) + ",")) << message;
    const ImageComparison roundTrip(juce::ImageFileFormat::loadFrom(renderedFile), moved, 0);
    EXPECT_TRUE(roundTrip.sizesMatch() && roundTrip.getDifferingPixels() == 0)
        << "the rendered picture as is";
    EXPECT_EQ(juce::ImageFileFormat::loadFrom(diffFile).getBounds(), moved.getBounds());

    EXPECT_TRUE(matchesReference(before, reference, mismatches));
    EXPECT_FALSE(renderedFile.exists() || diffFile.exists()) << "a match clears an earlier mismatch";

    const auto missing = matchesReference(before, references.getChildFile("none.png"), mismatches);
    EXPECT_FALSE(missing);
    EXPECT_TRUE(juce::String(missing.message()).contains("no readable reference")) << missing.message();
    EXPECT_TRUE(mismatches.getChildFile("none.rendered.png").existsAsFile());
}

TEST_F(VisualRegression, UpdatingReferencesIsRefusedUnderCi)
{
    ScratchFolder scratch;
    const juce::File reference = scratch.folder.getChildFile("references").getChildFile("about.png");
    const juce::File mismatches = scratch.folder.getChildFile("mismatches");
    AboutComponent panel;
    const juce::Image rendered = render(panel);

    {
        const EnvironmentForTest ci{{"VELKOR_UPDATE_REFERENCES", "1"}, {"CI", "true"}};
        const auto refused = looksAsBefore(rendered, reference, mismatches);
        EXPECT_FALSE(refused);
        EXPECT_TRUE(juce::String(refused.message()).contains("reference updating is refused under CI"))
            << refused.message();
        EXPECT_FALSE(reference.exists()) << "a refused update wrote the reference";
    }
    {
        const EnvironmentForTest developer{{"VELKOR_UPDATE_REFERENCES", "1"}, {"CI", nullptr}};
        EXPECT_TRUE(looksAsBefore(rendered, reference, mismatches));
        EXPECT_TRUE(reference.existsAsFile());
    }
    // Under CI without the variable the pictures are compared as ever, a mismatch failing.
    const EnvironmentForTest comparing{{"VELKOR_UPDATE_REFERENCES", nullptr}, {"CI", "true"}};
    EXPECT_TRUE(looksAsBefore(rendered, reference, mismatches));
    panel.versionLabel->setTopLeftPosition(panel.versionLabel->getPosition().translated(0, 2));
    EXPECT_FALSE(looksAsBefore(render(panel), reference, mismatches));
}
