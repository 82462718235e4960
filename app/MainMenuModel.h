#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The menu bar every main window shares. Every item is a command item, so texts, keys and enabled
// states come from the command table.
class MainMenuModel : public juce::MenuBarModel
{
public:
    explicit MainMenuModel(juce::ApplicationCommandManager* commandManager);
    ~MainMenuModel() override;

    juce::StringArray getMenuBarNames() override;
    juce::PopupMenu getMenuForIndex(int topLevelMenuIndex, const juce::String& menuName) override;
    void menuItemSelected(int, int) override {}

private:
    juce::ApplicationCommandManager* commandManager;
};
