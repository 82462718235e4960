#include "app/MainMenuModel.h"

#include "app/CommandIds.h"

MainMenuModel::MainMenuModel(juce::ApplicationCommandManager* commands) : commandManager(commands)
{
    setApplicationCommandManagerToWatch(commands);
}

MainMenuModel::~MainMenuModel()
{
    setApplicationCommandManagerToWatch(nullptr);
}

juce::StringArray MainMenuModel::getMenuBarNames()
{
    return {"File", "Edit", "Tools", "Options", "Window", "Help"};
}

juce::PopupMenu MainMenuModel::getMenuForIndex(int, const juce::String& menuName)
{
    juce::PopupMenu menu;
    const auto add = [this](juce::PopupMenu& m, int id) { m.addCommandItem(commandManager, id); };

    if (menuName == "File")
    {
        for (const int id :
             {CommandIds::newWindow, CommandIds::open, CommandIds::closeWindow, CommandIds::save,
              CommandIds::saveAs, CommandIds::importSysEx, CommandIds::exportSysEx})
            add(menu, id);
        juce::PopupMenu send, get;
        for (int i = 0; i < 5; ++i)
        {
            add(send, CommandIds::sendProgram1 + i);
            add(get, CommandIds::getProgram1 + i);
        }
        menu.addSubMenu("Send To Hardware", send);
        menu.addSubMenu("Get From Hardware", get);
        menu.addSeparator();
        add(menu, CommandIds::quit);
    }
    else if (menuName == "Edit")
    {
        add(menu, CommandIds::undo);
        add(menu, CommandIds::redo);
        menu.addSeparator();
        add(menu, CommandIds::copyProgram);
        juce::PopupMenu paste;
        for (const int id : {CommandIds::pasteAll, CommandIds::pastePadBankA, CommandIds::pastePadBankB,
                             CommandIds::pastePadBanksAB, CommandIds::pasteKnobs, CommandIds::pasteKeyboard,
                             CommandIds::pasteJoystick})
            add(paste, id);
        menu.addSubMenu("Paste Program", paste);
    }
    else if (menuName == "Tools")
    {
        add(menu, CommandIds::autoPopulate);
        add(menu, CommandIds::librarian);
    }
    else if (menuName == "Options")
    {
        add(menu, CommandIds::deviceSetup);
    }
    else if (menuName == "Window")
    {
        add(menu, CommandIds::minimise);
        add(menu, CommandIds::bringAllToFront);
        menu.addSeparator();
    }
    else if (menuName == "Help")
    {
        add(menu, CommandIds::openUserGuide);
        add(menu, CommandIds::about);
    }
    return menu;
}
