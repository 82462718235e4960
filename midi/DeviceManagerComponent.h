#pragma once

#include "midi/MidiDeviceLink.h"
#include "ui/CustomLook.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// The device setup panel: one list of inputs, one of outputs, and OK, APPLY and CANCEL.
class DeviceManagerComponent : public juce::Component, public juce::Button::Listener
{
public:
    // The rows of one list, one device name each, in the order the system reports them.
    class DeviceListModel : public juce::ListBoxModel
    {
    public:
        int getNumRows() override;
        void paintListBoxItem(int rowNumber, juce::Graphics& g, int width, int height,
                              bool rowIsSelected) override;
        juce::String getNameForRow(int rowNumber) override;

        juce::StringArray deviceNames;
    };

    explicit DeviceManagerComponent(MidiDeviceLink& link);
    ~DeviceManagerComponent() override;

    void setDeviceLists(const juce::StringArray& inputNames, const juce::StringArray& outputNames);
    // Adds the selected names to those of earlier applies and hands all of them to the link.
    void applySelection();

    void paint(juce::Graphics& g) override;
    void resized() override;
    void buttonClicked(juce::Button* button) override;

    DeviceListModel inputModel;
    DeviceListModel outputModel;
    MidiDeviceLink& manager;
    juce::StringArray chosenInputs;
    juce::StringArray chosenOutputs;
    CustomLook look;
    std::unique_ptr<juce::ListBox> inputList;
    std::unique_ptr<juce::ListBox> outputList;
    std::unique_ptr<juce::TextButton> okButton;
    std::unique_ptr<juce::TextButton> applyButton;
    std::unique_ptr<juce::TextButton> cancelButton;
    juce::Image backgroundImage;
    juce::Image listPanelImage;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(DeviceManagerComponent)
};
