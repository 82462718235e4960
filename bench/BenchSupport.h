#pragma once

#include "support/ProgramFixtures.h"
#include "model/ProgramSender.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace benchsupport
{
// Runs the message loop until everything posted so far has been delivered, and whatever those
// messages posted in turn: a program load leaves combo and text change notifications behind, and the
// editor is not done until they have landed. Never sleeps while work is pending.
inline void deliverPendingMessages()
{
    auto* messageManager = juce::MessageManager::getInstance();
    for (int round = 0; round < 2; ++round)
    {
        auto done = std::make_shared<bool>(false);
        juce::MessageManager::callAsync([done] { *done = true; });
        while (!*done)
            messageManager->runDispatchLoopUntil(0);
    }
}

// Any program every widget takes as it is: the tempo box keeps its own value for a tempo outside 30 to 240.
inline ProgramModel randomProgram(juce::Random& random)
{
    ProgramModel model = fixtures::randomModel(random);
    model.setGlobal(ProgramModel::arpTempo, 30 + random.nextInt(211));
    return model;
}

inline ProgramValues valuesOf(const ProgramModel& model)
{
    const ByteArray image = model.toSysExData();
    return decodeProgramSysExData(image.data(), static_cast<int>(image.size()));
}

// Every request goes out; nothing answers, so a window stays waiting until a dump is offered to it.
struct SilentSender : ProgramSender
{
    bool sendToController(const juce::MidiMessage&) override { return true; }
    void showDeviceSetup() override {}
    juce::String getMidiInputName() override { return "Bench"; }
};

inline bool haveDisplay()
{
    return juce::Desktop::getInstance().getDisplays().getPrimaryDisplay() != nullptr;
}
} // namespace benchsupport
