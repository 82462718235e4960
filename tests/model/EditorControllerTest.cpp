#include "support/TestSupport.h"
#include "model/EditorController.h"
#include "model/ProgramClipboard.h"
#include "model/ProgramFile.h"
#include "support/ProgramFixtures.h"
#include "model/midiFormatException.h"

#include <gtest/gtest.h>

using testsupport::pumpMessages;

namespace
{
struct FakeSender : ProgramSender
{
    bool sendToController(const juce::MidiMessage& message) override
    {
        if (!outputOpen)
            return false;
        sent.emplace_back(message.getRawData(), message.getRawData() + message.getRawDataSize());
        return true;
    }
    void showDeviceSetup() override { ++deviceSetupShown; }
    juce::String getMidiInputName() override { return inputName; }

    bool outputOpen = true;
    juce::String inputName = "Velkor MIDI 1";
    std::vector<ByteArray> sent;
    int deviceSetupShown = 0;
};

struct Window
{
    explicit Window(ProgramSender* sender = nullptr) : controller(&editor, sender) { pumpMessages(); }
    EditorComponent editor;
    EditorController controller;
};

ProgramValues valuesOf(const ProgramModel& m)
{
    const ByteArray data = m.toSysExData();
    return decodeProgramSysExData(data.data(), int(data.size()));
}

ProgramModel randomProgram(int seed)
{
    juce::Random random(seed);
    ProgramModel m = fixtures::randomModel(random);
    m.setGlobal(ProgramModel::arpTempo, 30 + random.nextInt(211)); // the tempo box takes 30 to 240
    return m;
}
} // namespace

TEST(EditorController, ModelStartsAsTheWidgetsShowIt)
{
    Window w;
    const ProgramModel& m = w.controller.getModel();
    EXPECT_EQ(m.getGlobal(ProgramModel::arpTempo), 120);
    EXPECT_EQ(m.getGlobal(ProgramModel::arpTempoTaps), 3);
    EXPECT_EQ(m.getGlobal(ProgramModel::padChannel), 1);
    EXPECT_EQ(m.axisX.getValue(2), 1);
    EXPECT_EQ(m.axisY.getValue(2), 2);
    EXPECT_EQ(m.getKnob(5, 2), 127);
    EXPECT_FALSE(m.padsB[7].isToggle);
    EXPECT_EQ(m.padsA[0].noteValue, 0);
}

TEST(EditorController, DefaultsGiveTheDefaultImage)
{
    Window w;
    w.controller.applyProgramValues(valuesOf(randomProgram(3)), false);
    pumpMessages();
    w.controller.resetToDefaults();
    pumpMessages();
    EXPECT_EQ(w.controller.getProgramImage(), fixtures::defaultImage());
}

TEST(EditorController, AnyLoadedProgramComesBackByteForByte)
{
    Window w;
    for (int seed = 0; seed < 25; ++seed)
    {
        const ProgramModel source = randomProgram(seed);
        w.controller.applyProgramValues(valuesOf(source), false);
        pumpMessages();
        ASSERT_EQ(w.controller.getProgramImage(), source.toSysExData()) << "program " << seed;
        ASSERT_EQ(fixtures::allValues(w.controller.getModel()), fixtures::allValues(source));
    }
    const ProgramModel last = randomProgram(24);
    EXPECT_EQ(w.editor.arpPanel->tempoBox->getText(), juce::String(last.getGlobal(ProgramModel::arpTempo)));
    EXPECT_EQ(w.editor.padBankB->pads[2]->noteValueBox->getText(), juce::String(last.padsB[2].noteValue));
}

TEST(EditorController, ARefusedValueKeepsWidgetAndModelTogether)
{
    Window w;
    w.controller.resetToDefaults();
    pumpMessages();
    ProgramModel source = randomProgram(7);
    ProgramValues values = valuesOf(source);
    values[10] = 0; // tempo 20: in the image's range, below the tempo box's
    values[11] = 20;
    w.controller.applyProgramValues(values, false);
    pumpMessages();
    EXPECT_EQ(w.editor.arpPanel->tempoBox->getText(), "128");
    EXPECT_EQ(w.controller.getModel().getGlobal(ProgramModel::arpTempo), 128);
    source.setGlobal(ProgramModel::arpTempo, 128);
    EXPECT_EQ(w.controller.getProgramImage(), source.toSysExData()) << "everything else was applied";

    EXPECT_THROW(w.controller.applyProgramValues(ProgramValues(107), false), midiFormatException);
    EXPECT_EQ(w.controller.getProgramImage(), source.toSysExData());
}

TEST(EditorController, OnlyAWindowThatAskedTakesOneReply)
{
    FakeSender sender;
    Window asking(&sender), other(&sender);
    const ByteArray before = other.controller.getProgramImage();
    const ProgramValues reply = valuesOf(randomProgram(11));

    asking.controller.applyProgramValues(reply, true);
    pumpMessages();
    EXPECT_EQ(asking.controller.getProgramImage(), before) << "nobody asked";

    asking.controller.requestProgram(2);
    EXPECT_TRUE(asking.controller.isAwaitingReply());
    for (auto* w : {&asking, &other})
        w->controller.applyProgramValues(reply, true);
    pumpMessages();
    EXPECT_EQ(asking.controller.getProgramImage(), randomProgram(11).toSysExData());
    EXPECT_EQ(other.controller.getProgramImage(), before);
    EXPECT_FALSE(asking.controller.isAwaitingReply());

    asking.controller.applyProgramValues(valuesOf(randomProgram(12)), true);
    pumpMessages();
    EXPECT_EQ(asking.controller.getProgramImage(), randomProgram(11).toSysExData())
        << "a second reply is ignored";

    asking.controller.requestProgram(1);
    asking.controller.applyProgramValues(valuesOf(randomProgram(13)), false);
    EXPECT_FALSE(asking.controller.isAwaitingReply()) << "a file load ends the wait";
}

TEST(EditorController, ProgramStripSendsExactlyTheMessages)
{
    FakeSender sender;
    Window w(&sender);
    w.controller.resetToDefaults();
    pumpMessages();
    HardwareControlsComponent& strip = *w.editor.hardwareControls;

    strip.sendButton3->triggerClick();
    strip.sendToRamButton->triggerClick();
    strip.getButton4->triggerClick();
    pumpMessages();
    ASSERT_EQ(sender.sent.size(), 3u);
    ByteArray write = ProgramFile::makeImage(fixtures::defaultImage());
    write[7] = 3;
    EXPECT_EQ(sender.sent[0], write);
    write[7] = 0;
    EXPECT_EQ(sender.sent[1], write);
    EXPECT_EQ(sender.sent[2], fixtures::fromHex("F0 47 00 26 66 00 01 04 F7"));
    EXPECT_TRUE(w.controller.isAwaitingReply());

    sender.outputOpen = false;
    Window fresh(&sender);
    fresh.controller.requestProgram(1);
    fresh.controller.sendProgram(2);
    EXPECT_EQ(sender.deviceSetupShown, 2);
    EXPECT_EQ(sender.sent.size(), 3u);
    EXPECT_TRUE(fresh.controller.isAwaitingReply()) << "still waiting once ports are chosen";
}

TEST(EditorController, EditsInWidgetsReachTheModel)
{
    Window w;
    NumberBox& cc = *w.editor.padBankB->pads[3]->ccValueBox;
    testsupport::typeInto(cc, "99");
    testsupport::pressReturn(cc);
    EXPECT_EQ(w.controller.getModel().padsB[3].ccValue, 99);

    w.editor.padBankA->pads[6]->triggerTypeCombo->setSelectedId(2);
    w.editor.joystickPanel->yAxisCombo->setSelectedId(3);
    w.editor.arpPanel->swingCombo->setSelectedId(6);
    pumpMessages();
    EXPECT_TRUE(w.controller.getModel().padsA[6].isToggle);
    EXPECT_EQ(w.controller.getModel().axisY.getValue(2), 3);
    EXPECT_EQ(w.controller.getModel().getGlobal(ProgramModel::arpSwing), 6);

    NumberBox& hi = *w.editor.knobBank->knobs[7]->maxValueBox;
    testsupport::typeInto(hi, "64");
    testsupport::pressReturn(hi);
    EXPECT_EQ(w.controller.getModel().getKnob(7, 2), 64);

    juce::Button& arp = *w.editor.arpPanel->arpOnButton;
    arp.triggerClick();
    pumpMessages();
    EXPECT_TRUE(arp.getToggleState());
    EXPECT_EQ(w.controller.getProgramImage()[10], 1);
    arp.triggerClick();
    pumpMessages();
    EXPECT_FALSE(arp.getToggleState());
    EXPECT_EQ(w.controller.getProgramImage()[10], 0);
}

TEST(ProgramClipboard, PastesOnlyTheChosenPart)
{
    Window from, to;
    from.controller.applyProgramValues(valuesOf(randomProgram(21)), false);
    to.controller.applyProgramValues(valuesOf(randomProgram(22)), false);
    pumpMessages();
    const ProgramModel source = from.controller.getModel();
    const ProgramModel target = to.controller.getModel();

    ProgramClipboard clipboard;
    clipboard.paste(ProgramClipboard::all, to.controller);
    pumpMessages();
    EXPECT_EQ(to.controller.getProgramImage(), target.toSysExData()) << "nothing copied yet";

    clipboard.copy(from.controller);
    clipboard.paste(ProgramClipboard::keyboard, to.controller);
    pumpMessages();
    ProgramModel expected = target;
    for (int id = ProgramModel::arpOn; id <= ProgramModel::keybedOctave; ++id)
        expected.setGlobal(id, source.getGlobal(id));
    EXPECT_EQ(fixtures::allValues(to.controller.getModel()), fixtures::allValues(expected));

    clipboard.paste(ProgramClipboard::padBankB, to.controller);
    clipboard.paste(ProgramClipboard::joystick, to.controller);
    pumpMessages();
    expected.padsB = source.padsB;
    expected.axisX = source.axisX;
    expected.axisY = source.axisY;
    EXPECT_EQ(fixtures::allValues(to.controller.getModel()), fixtures::allValues(expected));
    EXPECT_EQ(to.controller.getModel().padsA[0].noteValue, target.padsA[0].noteValue);

    clipboard.paste(ProgramClipboard::all, to.controller);
    pumpMessages();
    EXPECT_EQ(to.controller.getProgramImage(), source.toSysExData());
}

TEST(ProgramClipboard, EachPartPastedAloneChangesOnlyThatPart)
{
    struct Case
    {
        ProgramClipboard::PasteKind kind;
        bool padsA, padsB, knobs;
    };
    const Case cases[] = {{ProgramClipboard::padBankA, true, false, false},
                          {ProgramClipboard::padBanksAB, true, true, false},
                          {ProgramClipboard::knobs, false, false, true}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(int(c.kind));
        Window from, to;
        from.controller.applyProgramValues(valuesOf(randomProgram(31)), false);
        to.controller.applyProgramValues(valuesOf(randomProgram(32)), false);
        pumpMessages();
        const ProgramModel source = from.controller.getModel();
        ProgramModel expected = to.controller.getModel();
        if (c.padsA)
            expected.padsA = source.padsA;
        if (c.padsB)
            expected.padsB = source.padsB;
        if (c.knobs)
            expected.knobs = source.knobs;

        ProgramClipboard clipboard;
        clipboard.copy(from.controller);
        clipboard.paste(c.kind, to.controller);
        pumpMessages();
        EXPECT_EQ(fixtures::allValues(to.controller.getModel()), fixtures::allValues(expected));
    }
}

TEST(EditorControllerHistory, EveryKindOfStepIsUndoneAndRedoneToTheByte)
{
    ProgramClipboard clipboard;
    {
        Window source;
        source.controller.applyProgramValues(valuesOf(randomProgram(41)), false);
        pumpMessages();
        clipboard.copy(source.controller);
    }
    struct Step
    {
        const char* name;
        std::function<void(Window&)> act;
    };
    const Step steps[] = {
        {"Arpeggiator TEMPO", [](Window& w) { w.controller.setGlobalValue(ProgramModel::arpTempo, 201); }},
        {"Arpeggiator MODE", [](Window& w) { w.editor.arpPanel->modeCombo->setSelectedId(3); }},
        {"Arpeggiator ON/OFF", [](Window& w) { w.editor.arpPanel->arpOnButton->triggerClick(); }},
        {"Paste Knobs", [&clipboard](Window& w) { clipboard.paste(ProgramClipboard::knobs, w.controller); }},
        {"Paste Program", [&clipboard](Window& w) { clipboard.paste(ProgramClipboard::all, w.controller); }},
        {"Open File", [](Window& w) { w.controller.applyProgramValues(valuesOf(randomProgram(42)), false); }},
        {"Get From Hardware",
         [](Window& w)
         {
             w.controller.requestProgram(1);
             w.controller.applyProgramValues(valuesOf(randomProgram(43)), true);
         }},
    };
    for (const auto& step : steps)
    {
        SCOPED_TRACE(step.name);
        Window w;
        w.controller.applyProgramValues(valuesOf(randomProgram(40)), false);
        w.controller.startHistory();
        const ByteArray before = w.controller.getProgramImage();
        step.act(w);
        // A load's combo changes arrive later and must not make steps of their own.
        pumpMessages();
        const ByteArray after = w.controller.getProgramImage();
        ASSERT_NE(after, before);
        EXPECT_EQ(w.controller.getUndoName(), step.name);
        w.controller.undo();
        pumpMessages();
        EXPECT_EQ(w.controller.getProgramImage(), before);
        EXPECT_FALSE(w.controller.canUndo()) << "one action, one step";
        w.controller.redo();
        pumpMessages();
        EXPECT_EQ(w.controller.getProgramImage(), after);
        EXPECT_FALSE(w.controller.canRedo());
    }
}

TEST(EditorControllerHistory, KeepsTheNewestTwoHundredSteps)
{
    Window w;
    w.controller.startHistory();
    for (int step = 1; step <= ProgramHistory::maxSteps + 5; ++step)
        w.controller.setKnobValue(step % 8, 0, step % 128);
    int undone = 0;
    while (w.controller.canUndo())
    {
        w.controller.undo();
        ++undone;
    }
    EXPECT_EQ(undone, ProgramHistory::maxSteps);
    EXPECT_EQ(w.controller.getModel().getKnob(5, 0), 5) << "the first five steps dropped off";
}

TEST(EditorControllerHistory, UndoOfTypingNotYetCommittedPutsTheValueBackAndKeepsRedo)
{
    Window w;
    w.controller.startHistory();
    NumberBox& tempo = *w.editor.arpPanel->tempoBox;
    w.controller.setGlobalValue(ProgramModel::arpTempo, 150);
    w.controller.undo();
    const ByteArray before = w.controller.getProgramImage();
    ASSERT_TRUE(w.controller.canRedo());

    tempo.focusGained(juce::Component::focusChangedDirectly);
    testsupport::typeInto(tempo, "99");
    EXPECT_EQ(w.controller.getUndoName(), "Typing");
    w.controller.undo();
    EXPECT_EQ(tempo.getText(), NumberBox::format(tempo.currentValue));
    EXPECT_EQ(w.controller.getProgramImage(), before) << "the typing was not committed";
    EXPECT_FALSE(NumberBox::hasPendingEdit());
    ASSERT_TRUE(w.controller.canRedo()) << "the step to redo was kept";
    w.controller.redo();
    EXPECT_EQ(w.controller.getModel().getGlobal(ProgramModel::arpTempo), 150);
}
