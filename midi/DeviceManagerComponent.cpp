#include "midi/DeviceManagerComponent.h"

#include "ui/PanelPicture.h"

namespace
{
constexpr juce::uint32 listTextColour = 0xfff5f5f5;

std::unique_ptr<juce::TextButton> makeButton(const juce::String& name, const juce::String& text)
{
    auto button = std::make_unique<juce::TextButton>(name);
    button->setButtonText(text);
    return button;
}

void appendSelected(const juce::ListBox& list, const juce::StringArray& names, juce::StringArray& chosen)
{
    for (int row = 0; row < names.size(); ++row)
        if (list.isRowSelected(row))
            chosen.add(names[row]);
}
} // namespace

int DeviceManagerComponent::DeviceListModel::getNumRows()
{
    return deviceNames.size();
}

void DeviceManagerComponent::DeviceListModel::paintListBoxItem(int rowNumber, juce::Graphics& g, int width,
                                                               int height, bool rowIsSelected)
{
    if (rowIsSelected)
        g.fillAll(juce::Colour(0xff555555));
    g.setColour(juce::Colour(listTextColour));
    g.setFont(static_cast<float>(height) * 0.7f);
    // The list also paints the empty rows below the last name; those read as an empty string.
    g.drawText(deviceNames[rowNumber], 5, 0, width, height, juce::Justification::centredLeft, true);
}

juce::String DeviceManagerComponent::DeviceListModel::getNameForRow(int rowNumber)
{
    return deviceNames[rowNumber];
}

DeviceManagerComponent::DeviceManagerComponent(MidiDeviceLink& link) : manager(link)
{
    inputList = std::make_unique<juce::ListBox>("input Devices");
    addAndMakeVisible(*inputList);
    outputList = std::make_unique<juce::ListBox>("output Devices");
    addAndMakeVisible(*outputList);

    okButton = makeButton("OK Button", "OK");
    applyButton = makeButton("Apply Button", "APPLY");
    cancelButton = makeButton("Cacnel Button", "CANCEL");
    for (auto* button : {okButton.get(), applyButton.get(), cancelButton.get()})
    {
        addAndMakeVisible(*button);
        button->addListener(this);
    }

    backgroundImage = PanelPicture::load("DeviceSetup_Background");
    listPanelImage = PanelPicture::load("DeviceSetup_ListPanel");

    inputList->setModel(&inputModel);
    outputList->setModel(&outputModel);
    inputList->setTitle("MIDI Input");
    outputList->setTitle("MIDI Output");
    for (auto* list : {inputList.get(), outputList.get()})
    {
        list->setColour(juce::ListBox::textColourId, juce::Colour(listTextColour));
        list->setColour(juce::ListBox::backgroundColourId, juce::Colour(0x00000000));
        list->setColour(juce::ListBox::outlineColourId, juce::Colour(0x00000000));
    }

    setLookAndFeel(&look);
    setSize(360, 425);
}

DeviceManagerComponent::~DeviceManagerComponent()
{
    // The look is a member, gone before the base class lets go of it.
    setLookAndFeel(nullptr);
}

void DeviceManagerComponent::setDeviceLists(const juce::StringArray& inputNames,
                                            const juce::StringArray& outputNames)
{
    inputModel.deviceNames.clear();
    outputModel.deviceNames.clear();
    inputModel.deviceNames.addArray(inputNames);
    outputModel.deviceNames.addArray(outputNames);
    inputList->updateContent();
    outputList->updateContent();
}

void DeviceManagerComponent::applySelection()
{
    appendSelected(*inputList, inputModel.deviceNames, chosenInputs);
    appendSelected(*outputList, outputModel.deviceNames, chosenOutputs);
    manager.applyDeviceNames(chosenInputs, chosenOutputs);
}

void DeviceManagerComponent::paint(juce::Graphics& g)
{
    g.setOpacity(1.0f);
    PanelPicture::draw(g, backgroundImage, {0.0f, 0.0f, 360.0f, 425.0f});
    PanelPicture::draw(g, listPanelImage, {16.0f, 83.0f, 328.0f, 134.0f});

    g.setColour(juce::Colour(0xff808080));
    g.setFont(juce::Font(18.0f, juce::Font::plain));
    g.drawText("Input", 31, 59, 88, 24, juce::Justification::centredLeft, true);
    g.drawText("Output", 31, 225, 104, 17, juce::Justification::centredLeft, true);

    PanelPicture::draw(g, listPanelImage, {16.0f, 243.0f, 328.0f, 141.0f});
}

void DeviceManagerComponent::resized()
{
    inputList->setBounds(16, 91, 326, 120);
    outputList->setBounds(16, 251, 326, 126);
    okButton->setBounds(24, 390, 80, 24);
    applyButton->setBounds(112, 390, 80, 24);
    cancelButton->setBounds(200, 390, 80, 24);
}

void DeviceManagerComponent::buttonClicked(juce::Button* button)
{
    if (button == okButton.get())
    {
        applySelection();
        manager.closeDeviceSetup();
    }
    else if (button == applyButton.get())
        applySelection();
    else if (button == cancelButton.get())
        manager.closeDeviceSetup();
}
