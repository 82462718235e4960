#include "ui/EditorComponent.h"

#include "ui/PanelAccessibility.h"

#include "ui/PanelPicture.h"

namespace
{
// Editors alive, oldest first: the newest one's look is the desktop default.
std::vector<EditorComponent*>& liveEditors()
{
    static std::vector<EditorComponent*> editors;
    return editors;
}

// The desktop default once the last editor has closed; null for the framework's own.
juce::LookAndFeel*& lookWithoutEditors()
{
    static juce::LookAndFeel* look = nullptr;
    return look;
}

std::shared_ptr<PanelLook> editorsLook()
{
    static std::weak_ptr<PanelLook> look;
    auto shared = look.lock();
    if (shared == nullptr)
        look = shared = std::make_shared<PanelLook>();
    return shared;
}

// A pad bank draws its 503 x 257 outline 503 x 260. Resampled on every paint of every window, that was
// a third of a full repaint; done once here (and once more at 2x), the paint is a plain copy.
juce::Image outlineAsDrawn(const char* name)
{
    const juce::int64 key = juce::String("VelkorPadBankOutline/" + juce::String(name)).hashCode64();
    juce::Image drawn = juce::ImageCache::getFromHashCode(key);
    if (drawn.isNull())
    {
        drawn = PanelPicture::derive(PanelPicture::load(name),
                                     [](const juce::Image& original)
                                     {
                                         juce::Image stretched(juce::Image::ARGB, original.getWidth(),
                                                               original.getHeight() * 260 / 257, true);
                                         juce::Graphics g(stretched);
                                         g.drawImage(original, stretched.getBounds().toFloat());
                                         return stretched;
                                     });
        juce::ImageCache::addImageToCache(drawn, key);
    }
    return drawn;
}
} // namespace

void EditorComponent::setLookWithoutEditors(juce::LookAndFeel* look)
{
    lookWithoutEditors() = look;
}

EditorComponent::EditorComponent() : sharedLook(editorsLook()), lookAndFeel(*sharedLook)
{
    auto& desktop = juce::Desktop::getInstance();
    if (&desktop.getDefaultLookAndFeel() != &lookAndFeel)
        desktop.setDefaultLookAndFeel(&lookAndFeel);
    liveEditors().push_back(this);

    backgroundImage = PanelPicture::load("VelkorEditor_Background");
    bankBStrokeImage = outlineAsDrawn("ColoredPadBankStroke_BankB");
    bankAStrokeImage = outlineAsDrawn("ColoredPadBankStroke_BankA");

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

    PanelAccessibility::describe(*this);
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

    // The editors still open keep the shared look as the default; the last one hands the default to
    // the application's look (or the framework's).
    auto& editors = liveEditors();
    editors.erase(std::remove(editors.begin(), editors.end(), this), editors.end());
    auto& desktop = juce::Desktop::getInstance();
    if (editors.empty() && &desktop.getDefaultLookAndFeel() == &lookAndFeel)
        desktop.setDefaultLookAndFeel(lookWithoutEditors());
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
    PanelPicture::draw(g, backgroundImage, getLocalBounds().toFloat());
}
