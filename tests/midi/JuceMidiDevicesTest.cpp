#include "midi/JuceMidiDevices.h"
#include "support/MidiReceiver.h"

#include <gtest/gtest.h>

// These machines have no MIDI devices; what can be checked is that nothing beyond the lists is opened.
TEST(JuceMidiDevices, IndexesOutsideTheListsOpenNothing)
{
    JuceMidiDevices devices;
    const int inputs = devices.getInputNames().size();
    const int outputs = devices.getOutputNames().size();
    miditest::Receiver receiver;
    EXPECT_EQ(devices.openInput(-1, "", &receiver), nullptr);
    EXPECT_EQ(devices.openInput(inputs, "", &receiver), nullptr);
    EXPECT_EQ(devices.openOutput(-1, ""), nullptr);
    EXPECT_EQ(devices.openOutput(outputs, ""), nullptr);
    if (inputs > 0)
    {
        EXPECT_EQ(devices.openInput(0, devices.getInputNames()[0], nullptr), nullptr)
            << "an input without a callback";
    }
}
