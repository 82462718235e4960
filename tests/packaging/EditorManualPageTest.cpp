#include "support/TestSupport.h"
#include "app/VelkorEditorApplication.h"

#include <gtest/gtest.h>

namespace
{
// "ctrl + shift + Z" as the page writes it: "Ctrl+Shift+Z".
juce::String shortcutText(const juce::KeyPress& key)
{
    juce::StringArray parts;
    parts.addTokens(key.getTextDescription(), "+", {});
    parts.trim();
    for (auto& part : parts)
        part = part.substring(0, 1).toUpperCase() + part.substring(1);
    return parts.joinIntoString("+");
}

// One line a command, "Submenu > Name (shortcuts)", under a "[Menu]" line for each menu.
void listMenu(const juce::PopupMenu& menu, const juce::String& prefix,
              juce::ApplicationCommandManager& commands, juce::StringArray& lines)
{
    for (juce::PopupMenu::MenuItemIterator it(menu, false); it.next();)
    {
        const auto& item = it.getItem();
        if (item.subMenu != nullptr)
            listMenu(*item.subMenu, item.text + " > ", commands, lines);
        else if (!item.isSeparator)
        {
            juce::StringArray keys;
            for (const auto& key : commands.getKeyMappings()->getKeyPressesAssignedToCommand(item.itemID))
                keys.add(shortcutText(key));
            lines.add(prefix + item.text + (keys.isEmpty() ? "" : " (" + keys.joinIntoString(", ") + ")"));
        }
    }
}

// The page's MENUS section: ".SS Menu", then a ".B" tag after each ".TP", where "Submenu > A, B (keys)"
// stands for the submenu's commands A and B.
juce::StringArray listPage(const juce::File& page)
{
    juce::StringArray source, lines;
    source.addLines(page.loadFileAsString());
    bool inMenus = false, tagFollows = false;
    for (auto line : source)
    {
        if (line.startsWith(".SH "))
            inMenus = line == ".SH MENUS";
        else if (!inMenus)
            continue;
        else if (line.startsWith(".SS "))
            lines.add("[" + line.substring(4) + "]");
        else if (line == ".TP")
            tagFollows = true;
        else if (tagFollows)
        {
            tagFollows = false;
            line = line.fromFirstOccurrenceOf(".B ", false, false).replace("\\fR", "").replace("\\fB", "");
            if (!line.contains(" > "))
            {
                lines.add(line);
                continue;
            }
            const juce::String prefix = line.upToFirstOccurrenceOf(" > ", true, false);
            // Commas inside a command's parentheses separate its shortcuts, not commands.
            int depth = 0;
            juce::String command;
            for (const auto c : line.fromFirstOccurrenceOf(" > ", false, false) + ",")
            {
                depth += c == '(' ? 1 : c == ')' ? -1 : 0;
                if (c == ',' && depth == 0)
                {
                    lines.add(prefix + command.trim());
                    command.clear();
                }
                else
                    command += juce::String::charToString(c);
            }
        }
    }
    return lines;
}
} // namespace

// The editor's manual page names every command of the menu bar, in its menu and order, with every
// shortcut it has, so a new command or key cannot ship undocumented.
TEST(EditorManualPage, ListsTheMenusAsTheMenuBarHasThem)
{
    VelkorEditorApplication app;
    app.quitAction = [] {};
    app.initialiseWithArguments({});
    testsupport::pumpMessages();

    juce::StringArray fromMenus;
    MainMenuModel& menus = *app.getMenuModel();
    for (const auto& name : menus.getMenuBarNames())
    {
        fromMenus.add("[" + name + "]");
        listMenu(menus.getMenuForIndex(0, name), {}, *app.getCommandManager(), fromMenus);
    }
    const juce::StringArray fromPage = listPage(juce::File(VELKOR_EDITOR_MANUAL_PAGE));
    ASSERT_GT(fromMenus.size(), 30);
    EXPECT_EQ(fromPage.joinIntoString("\n"), fromMenus.joinIntoString("\n"));
    app.shutdown();
}
