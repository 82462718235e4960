#include "ui/EditorComponent.h"

#include "BinaryData.h"

namespace
{
// Editors alive, oldest first: the newest one's look is the desktop default.
std::vector<EditorComponent*>& liveEditors()
{
    static std::vector<EditorComponent*> editors;
    return editors;
}

// A pad bank draws its 503 x 257 outline 503 x 260. Resampled on every paint of every window, that was
// a third of a full repaint; done once here, the paint is a plain copy of the same pixels.
juce::Image outlineAsDrawn(const char* name, const void* png, int size)
{
    const juce::int64 key = juce::String("VelkorPadBankOutline/" + juce::String(name)).hashCode64();
    juce::Image drawn = juce::ImageCache::getFromHashCode(key);
    if (drawn.isNull())
    {
        const juce::Image original = juce::ImageCache::getFromMemory(png, size);
        drawn = juce::Image(juce::Image::ARGB, original.getWidth(), 260, true);
        {
            juce::Graphics g(drawn);
            g.drawImage(original, 0, 0, drawn.getWidth(), drawn.getHeight(), 0, 0, original.getWidth(),
                        original.getHeight());
        }
        juce::ImageCache::addImageToCache(drawn, key);
    }
    return drawn;
}
} // namespace

EditorComponent::EditorComponent()
{
    juce::Desktop::getInstance().setDefaultLookAndFeel(&lookAndFeel);
    liveEditors().push_back(this);

    backgroundImage = juce::ImageCache::getFromMemory(BinaryData::VelkorEditor_Background_png,
                                                      BinaryData::VelkorEditor_Background_pngSize);
    bankBStrokeImage = outlineAsDrawn("B", BinaryData::ColoredPadBankStroke_BankB_png,
                                      BinaryData::ColoredPadBankStroke_BankB_pngSize);
    bankAStrokeImage = outlineAsDrawn("A", BinaryData::ColoredPadBankStroke_BankA_png,
                                      BinaryData::ColoredPadBankStroke_BankA_pngSize);

    keybedPanel = std::make_unique<KeybedComponent>();
    joystickPanel = std::make_unique<JoystickComponent>();
    padBankA = std::make_unique<PadBankComponent>("BANK A", &bankAStrokeImage);
    padBankB = std::make_unique<PadBankComponent>("BANK B", &bankBStrokeImage);
    padBankA->setName("Pad Bank A");
    padBankB->setName("Pad Bank B");
    arpPanel = std::make_unique<ArpComponent>();
    hardwareControls = std::make_unique<HardwareControlsComponent>();
    knobBank = std::make_unique<KnobBankComponent>();
    chanSelection = std::make_unique<ChanSelectionComponent>();

    for (juce::Component* panel : std::initializer_list<juce::Component*>{
             joystickPanel.get(), keybedPanel.get(), padBankA.get(), padBankB.get(), arpPanel.get(),
             hardwareControls.get(), knobBank.get(), chanSelection.get()})
        addAndMakeVisible(panel);

    setSize(width, height);
}

EditorComponent::~EditorComponent()
{
    padBankA.reset();
    padBankB.reset();
    arpPanel.reset();
    keybedPanel.reset();
    hardwareControls.reset();
    joystickPanel.reset();
    knobBank.reset();
    chanSelection.reset();

    // Hand the desktop default to the newest editor still open, so its windows keep this look
    // rather than falling back to the framework's.
    auto& editors = liveEditors();
    editors.erase(std::remove(editors.begin(), editors.end(), this), editors.end());
    auto& desktop = juce::Desktop::getInstance();
    if (&desktop.getDefaultLookAndFeel() == &lookAndFeel)
        desktop.setDefaultLookAndFeel(editors.empty() ? nullptr : &editors.back()->lookAndFeel);
}

void EditorComponent::resized()
{
    joystickPanel->setTopLeftPosition(50, 102);
    hardwareControls->setTopLeftPosition(50, 387);
    padBankA->setTopLeftPosition(220, 110);
    padBankB->setBounds(220, 385, padBankA->getWidth(), padBankA->getHeight());
    chanSelection->setTopLeftPosition(220, 650);
    knobBank->setTopLeftPosition(730, 110);
    keybedPanel->setTopLeftPosition(730, 440);
    arpPanel->setTopLeftPosition(730, 546);
}

void EditorComponent::paint(juce::Graphics& g)
{
    g.setColour(juce::Colour(0xff000000));
    g.drawImage(backgroundImage, 0, 0, juce::roundToInt(getWidth() * 1.0),
                juce::roundToInt(getHeight() * 1.0), 0, 0, backgroundImage.getWidth(),
                backgroundImage.getHeight());
}
