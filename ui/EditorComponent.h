#pragma once

#include "ui/ArpComponent.h"
#include "ui/PanelLook.h"
#include "ui/ChanSelectionComponent.h"
#include "ui/HardwareControlsComponent.h"
#include "ui/JoystickComponent.h"
#include "ui/KeybedComponent.h"
#include "ui/KnobBankComponent.h"
#include "ui/PadBankComponent.h"

// The 1200 x 750 panel of one main window, laid out like the controller's face. It holds no program
// data; the editor controller reaches into the sub-panels and their widgets.
class EditorComponent : public juce::Component
{
public:
    static constexpr int width = 1200;
    static constexpr int height = 750;

    EditorComponent();
    ~EditorComponent() override;

    // The desktop default while no editor is open (null: the framework's own); its owner clears it
    // before it goes.
    static void setLookWithoutEditors(juce::LookAndFeel* look);

    void paint(juce::Graphics& g) override;
    void resized() override;

    std::unique_ptr<PadBankComponent> padBankA;
    std::unique_ptr<PadBankComponent> padBankB;
    std::unique_ptr<ArpComponent> arpPanel;
    std::unique_ptr<KeybedComponent> keybedPanel;
    std::unique_ptr<HardwareControlsComponent> hardwareControls;
    std::unique_ptr<JoystickComponent> joystickPanel;
    std::unique_ptr<KnobBankComponent> knobBank;
    std::unique_ptr<ChanSelectionComponent> chanSelection;
    juce::Image backgroundImage;
    juce::Image bankBStrokeImage;
    juce::Image bankAStrokeImage;
    // One look for all editors alive: moving the desktop default from one look to another restyles
    // every open window, so a further window would have cost more with each one already open.
    const std::shared_ptr<PanelLook> sharedLook;
    PanelLook& lookAndFeel;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(EditorComponent)
};
