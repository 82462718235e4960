#include "support/ApplicationFixture.h"
#include "app/CommandIds.h"
#include "app/VelkorEditorApplication.h"
#include "model/ProgramFile.h"
#include "model/SysExFile.h"
#include "support/ProgramFixtures.h"
#include "ui/UserMessage.h"

#include <gtest/gtest.h>

using testsupport::pumpMessages;

namespace
{
class ApplicationTest : public ApplicationFixture
{
protected:
    // The window manager may pass over a raise, or hand focus to a window mapped earlier once it gets to
    // it, so raise again until the window has held focus for a while. Waits on the window itself: asking
    // for the current window while none is active raises the newest.
    static bool activate(juce::TopLevelWindow& window)
    {
        for (int i = 0, held = 0; i < 300 && held < 10; ++i)
        {
            held = window.isActiveWindow() ? held + 1 : 0;
            if (held == 0 && i % 25 == 0)
                window.toFront(true);
            pumpMessages();
        }
        return window.isActiveWindow();
    }

    juce::File programFile(const char* name, const ProgramModel& program) const
    {
        const juce::File f = folder.getChildFile(name);
        ProgramFile::write(f, program.toSysExData());
        return f;
    }

    // The window manager's frame can reach a window after its first placement; the framework may then
    // read the window as moved by the frame's border, and keep it so. Either is the place asked for: a
    // wrong cascade is off by its 15-pixel step, never by exactly the border.
    static bool placedAt(juce::Component& window, juce::Point<int> expected)
    {
        for (int i = 0; i < 100; ++i)
        {
            const auto at = window.getBounds().getTopLeft();
            juce::ComponentPeer::OptionalBorderSize frame;
            if (auto* peer = window.getPeer())
                frame = peer->getFrameSizeIfPresent();
            if (at == expected || (frame && at == expected + juce::Point<int>(frame->getLeft(), frame->getTop())))
                return true;
            pumpMessages();
        }
        ADD_FAILURE() << "placed at " << window.getBounds().getTopLeft().toString() << ", not "
                      << expected.toString();
        return false;
    }

    MainWindowManager& windows() { return app->getWindowManager(); }
    MainWindow& window(int index) { return *windows().getWindows()[index]; }
};

ProgramModel someProgram(int seed)
{
    juce::Random random(seed);
    ProgramModel m = fixtures::randomModel(random);
    m.setGlobal(ProgramModel::arpTempo, 30 + random.nextInt(211));
    return m;
}
} // namespace

TEST_F(ApplicationTest, StartsWithOneUntitledWindowAndCascadesNewOnes)
{
    start();
    ASSERT_EQ(windows().getWindows().size(), 1);
    EXPECT_EQ(window(0).getName(), "Velkor Editor - Untitled1");
#if JUCE_WINDOWS
    // Windows keeps a window's frame on screen: at x = 0 the first one moves right, within its border.
    const int frameLeft = window(0).getPeer() != nullptr ? window(0).getPeer()->getFrameSize().getLeft() : 0;
    EXPECT_LE(window(0).getBounds().getX(), frameLeft);
    EXPECT_EQ(window(0).getBounds().getY(), 45);
#else
    EXPECT_TRUE(placedAt(window(0), {0, 45}));
#endif
    EXPECT_TRUE(window(0).isOnDesktop());
    EXPECT_EQ(window(0).getContentComponent()->getName(), "Velkor Main Editor Component");
    EXPECT_EQ(window(0).getProgramImage(), fixtures::defaultImage());

    invoke(CommandIds::newWindow);
    invoke(CommandIds::newWindow);
    ASSERT_EQ(windows().getWindows().size(), 3);
    EXPECT_EQ(window(2).getName(), "Velkor Editor - Untitled3");
    EXPECT_TRUE(placedAt(window(2), {30, 75}));

    windows().deleteWindow(window(0));
    windows().deleteWindow(window(0));
    invoke(CommandIds::newWindow);
    EXPECT_EQ(window(1).getName(), "Velkor Editor - Untitled4") << "numbers are never reused";
    EXPECT_TRUE(placedAt(window(1), {45, 90}));
}

TEST_F(ApplicationTest, CloseWindowClosesTheCurrentOneAndTheLastQuits)
{
    start();
    invoke(CommandIds::newWindow);
    invoke(CommandIds::closeWindow);
    ASSERT_EQ(windows().getWindows().size(), 1);
    EXPECT_EQ(quitRequests, 0);
    invoke(CommandIds::closeWindow);
    EXPECT_EQ(quitRequests, 1);
    EXPECT_EQ(windows().getWindows().size(), 1) << "the last window stays until the application ends";

    window(0).closeButtonPressed();
    EXPECT_EQ(quitRequests, 2);
    invoke(CommandIds::quit);
    EXPECT_EQ(quitRequests, 3);
}

TEST_F(ApplicationTest, CommandLineOpensAFileOrAnEmptyWindow)
{
    const juce::File f = programFile("Live Set.vkr", someProgram(1));
    start({f.getFullPathName()});
    ASSERT_EQ(windows().getWindows().size(), 1);
    EXPECT_EQ(window(0).getName(), "Velkor Editor - Live Set.vkr");
    EXPECT_EQ(window(0).getFilePath(), f.getFullPathName());
    EXPECT_EQ(window(0).getProgramImage(), someProgram(1).toSysExData());

    invoke(CommandIds::newWindow);
    EXPECT_EQ(window(1).getName(), "Velkor Editor - Untitled2") << "the file took a number";
}

TEST_F(ApplicationTest, ArgumentsStartingWithAMinusAreIgnored)
{
    start({"-NSDocumentRevisionsDebugMode", "YES"});
    ASSERT_EQ(windows().getWindows().size(), 1);
    EXPECT_EQ(window(0).getName(), "Velkor Editor - Untitled1");
}

TEST_F(ApplicationTest, AnUnusableLaunchFileIsReportedThenAnEmptyWindowOpens)
{
    start({folder.getChildFile("missing.vkr").getFullPathName()});
    EXPECT_EQ(messages, juce::StringArray("File does not exist"));
    ASSERT_EQ(windows().getWindows().size(), 1);
    EXPECT_EQ(window(0).getProgramImage(), fixtures::defaultImage());
    EXPECT_EQ(quitRequests, 0);
}

TEST_F(ApplicationTest, UnusableLaunchFilesAreReportedInOneMessageNamingEach)
{
    for (const bool withGood : {true, false})
    {
        SCOPED_TRACE(withGood);
        TearDown();
        SetUp();
        const juce::File bad = folder.getChildFile("bad.vkr"), gone = folder.getChildFile("gone.vkr");
        bad.replaceWithText("not a program");
        const juce::File good = programFile("good.vkr", someProgram(3));
        messages.clear();
        int windowsWhenReported = -1;
        UserMessage::setHandler(
            [&](const juce::String& text)
            {
                messages.add(text);
                windowsWhenReported = windows().getWindows().size();
            });
        juce::StringArray arguments{bad.getFullPathName(), gone.getFullPathName()};
        if (withGood)
            arguments.insert(1, good.getFullPathName());
        start(arguments);
        ASSERT_EQ(messages.size(), 1) << messages.joinIntoString("\n");
        EXPECT_TRUE(messages[0].contains(bad.getFullPathName() + ": Bad File Format")) << messages[0];
        EXPECT_TRUE(messages[0].contains(gone.getFullPathName() + ": File does not exist")) << messages[0];
        ASSERT_EQ(windows().getWindows().size(), 1);
        EXPECT_EQ(windowsWhenReported, 1) << "the windows open first, so none covers the message";
        EXPECT_EQ(window(0).getProgramImage(),
                  withGood ? someProgram(3).toSysExData() : fixtures::defaultImage());
    }
}

TEST_F(ApplicationTest, OpeningBadFilesReportsAndCreatesNoWindow)
{
    start();
    const juce::File bad = folder.getChildFile("bad.vkr");
    bad.replaceWithText("not a program");
    EXPECT_EQ(windows().openFile(bad), nullptr);
    EXPECT_EQ(windows().openFile(folder.getChildFile("gone.vkr")), nullptr);
    EXPECT_EQ(messages, juce::StringArray({"Bad File Format", "File does not exist"}));
    EXPECT_EQ(windows().getWindows().size(), 1);
    EXPECT_EQ(windows().getWindowCounter(), 1);

    ASSERT_NE(windows().openFile(programFile("good.vkr", someProgram(2))), nullptr);
    EXPECT_EQ(windows().getWindowCounter(), 2);
    EXPECT_EQ(window(1).getBounds().getTopLeft(), juce::Point<int>(15, 60));
}

TEST_F(ApplicationTest, SaveWritesTheWindowsFileAndSaveAsMakesTheNewFileTheWindows)
{
    const juce::File f = programFile("song.vkr", someProgram(3));
    start({f.getFullPathName()});
    window(0).getController().setGlobalValue(ProgramModel::arpTempo, 200);
    invoke(CommandIds::save);
    ProgramModel expected = someProgram(3);
    expected.setGlobal(ProgramModel::arpTempo, 200);
    juce::MemoryBlock written;
    f.loadFileAsData(written);
    EXPECT_EQ(ByteArray(static_cast<const std::uint8_t*>(written.getData()),
                        static_cast<const std::uint8_t*>(written.getData()) + written.getSize()),
              ProgramFile::makeImage(expected.toSysExData()));

    const juce::File other = folder.getChildFile("copy.vkr");
    ASSERT_TRUE(app->saveWindowTo(window(0), other));
    EXPECT_EQ(window(0).getFilePath(), other.getFullPathName());
    EXPECT_EQ(window(0).getName(), "Velkor Editor - copy.vkr");

    EXPECT_FALSE(app->saveWindowTo(window(0), folder.getChildFile("no folder/x.vkr")));
    EXPECT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("Error Saving file"));
    EXPECT_EQ(window(0).getFilePath(), other.getFullPathName()) << "a failed save changes nothing";
}

TEST_F(ApplicationTest, SaveAsWithoutAWindowReports)
{
    start();
    windows().deleteAllWindows();
    invoke(CommandIds::saveAs);
    EXPECT_EQ(messages, juce::StringArray("Error Saving file"));
    invoke(CommandIds::exportSysEx);
    EXPECT_EQ(messages, juce::StringArray({"Error Saving file", "Error Saving file"}));
    invoke(CommandIds::copyProgram);
    invoke(CommandIds::pasteAll);
    invoke(CommandIds::minimise);
    invoke(CommandIds::sendProgram1);
}

TEST_F(ApplicationTest, CopyThenPasteKeyboardIntoAnotherWindow)
{
    const juce::File f = programFile("a.vkr", someProgram(4));
    start({f.getFullPathName()});
    invoke(CommandIds::copyProgram);
    MainWindow* target = windows().newWindow();
    ASSERT_TRUE(activate(*target));
    ASSERT_EQ(windows().getCurrentWindow(), target);
    pumpMessages();
    const ProgramModel before = target->getController().getModel();
    invoke(CommandIds::pasteKeyboard);

    ProgramModel expected = before;
    for (int id = ProgramModel::arpOn; id <= ProgramModel::keybedOctave; ++id)
        expected.setGlobal(id, someProgram(4).getGlobal(id));
    EXPECT_EQ(fixtures::allValues(target->getController().getModel()), fixtures::allValues(expected));
    EXPECT_EQ(target->getController().getModel().getGlobal(ProgramModel::padChannel), 1);

    invoke(CommandIds::pasteAll);
    EXPECT_EQ(target->getProgramImage(), someProgram(4).toSysExData());
}

TEST_F(ApplicationTest, CommandTableNamesKeysAndOrder)
{
    start();
    juce::Array<juce::CommandID> ids;
    app->getAllCommands(ids);
    const juce::Array<juce::CommandID> expectedIds = {
        0x200010, 0x200020, 0x200030, 0x200040, 0x200050, 0x200060, 0x200061, 0x200062, 0x200063,
        0x200064, 0x200070, 0x200071, 0x200072, 0x200073, 0x200074, 0x200080, 0x200110, 0x200120,
        0x200130, 0x200140, 0x200150, 0x200160, 0x200170, 0x200180, 0x200210, 0x200310, 0x200410,
        0x200420, 0x200090, 0x200510, 0x200610, 0x200620, 0x200220, 0x200710, 0x200720};
    EXPECT_EQ(ids, expectedIds);

    auto& commands = *app->getCommandManager();
    const auto keysOf = [&commands](juce::CommandID id)
    { return commands.getKeyMappings()->getKeyPressesAssignedToCommand(id); };
    const std::tuple<juce::CommandID, const char*, juce::KeyPress> keyed[] = {
        {0x200010, "New Window", {'n', juce::ModifierKeys::commandModifier, 0}},
        {0x200020, "Open", {'o', juce::ModifierKeys::commandModifier, 0}},
        {0x200030, "Close Window", {'w', juce::ModifierKeys::commandModifier, 0}},
        {0x200040, "Save", {'s', juce::ModifierKeys::commandModifier, 0}},
        {0x200090, "Quit", {'q', juce::ModifierKeys::commandModifier, 0}},
        {0x200110, "All", {'v', juce::ModifierKeys::commandModifier | juce::ModifierKeys::shiftModifier, 0}},
        {0x200180,
         "Copy Program",
         {'c', juce::ModifierKeys::commandModifier | juce::ModifierKeys::shiftModifier, 0}},
        {0x200410, "Minimize", {'m', juce::ModifierKeys::commandModifier, 0}},
        {0x200510, "Open Userguide", {'h', juce::ModifierKeys::commandModifier, 0}},
        {0x200610, "Undo", {'z', juce::ModifierKeys::commandModifier, 0}},
    };
    for (const auto& [id, name, key] : keyed)
    {
        EXPECT_EQ(commands.getNameOfCommand(id), name);
        EXPECT_EQ(keysOf(id), juce::Array<juce::KeyPress>(key)) << name;
    }
    EXPECT_EQ(commands.getNameOfCommand(0x200620), "Redo");
    EXPECT_EQ(commands.getNameOfCommand(0x200220), "Librarian");
    EXPECT_TRUE(keysOf(0x200220).isEmpty());
    EXPECT_EQ(commands.getNameOfCommand(0x200710), "Import SysEx...");
    EXPECT_EQ(commands.getNameOfCommand(0x200720), "Export SysEx...");
    juce::Array<juce::KeyPress> redoKeys;
    redoKeys.add({'z', juce::ModifierKeys::commandModifier | juce::ModifierKeys::shiftModifier, 0});
    redoKeys.add({'y', juce::ModifierKeys::commandModifier, 0});
    EXPECT_EQ(keysOf(0x200620), redoKeys);
    for (const juce::CommandID id : {0x200050, 0x200064, 0x200074, 0x200080, 0x200210, 0x200310, 0x200420})
        EXPECT_TRUE(keysOf(id).isEmpty()) << commands.getNameOfCommand(id);
    for (const juce::CommandID id : ids)
        EXPECT_EQ(commands.getCommandForID(id)->categoryName, "General");
    EXPECT_EQ(commands.getNameOfCommand(0x200064), "RAM");
    EXPECT_EQ(commands.getNameOfCommand(0x200072), "Program: 3");
    EXPECT_EQ(commands.getNameOfCommand(0x200160), "Keyboard");
    EXPECT_EQ(commands.getNameOfCommand(0x200420), "Bring All to Front");
}

TEST_F(ApplicationTest, MenusListTheirCommandsInOrder)
{
    start();
    MainMenuModel* menus = app->getMenuModel();
    ASSERT_NE(menus, nullptr);
    EXPECT_EQ(menus->getMenuBarNames(),
              juce::StringArray({"File", "Edit", "Tools", "Options", "Window", "Help"}));

    const auto describe = [](const juce::PopupMenu& menu)
    {
        juce::StringArray items;
        for (juce::PopupMenu::MenuItemIterator it(menu, true); it.next();)
        {
            const auto& item = it.getItem();
            items.add(item.isSeparator ? "-"
                                       : (item.subMenu != nullptr ? ">" + item.text
                                                                  : juce::String::toHexString(item.itemID)));
        }
        return items.joinIntoString(" ");
    };
    EXPECT_EQ(describe(menus->getMenuForIndex(0, "File")),
              "200010 200020 200030 200040 200050 200710 200720 "
              ">Send To Hardware 200060 200061 200062 200063 200064 "
              ">Get From Hardware 200070 200071 200072 200073 200074 - 200090");
    EXPECT_EQ(describe(menus->getMenuForIndex(1, "Edit")),
              "200610 200620 - 200180 >Paste Program 200110 200120 200130 200140 200150 200160 200170");
    EXPECT_EQ(describe(menus->getMenuForIndex(2, "Tools")), "200210 200220");
    EXPECT_EQ(describe(menus->getMenuForIndex(3, "Options")), "200310");
    EXPECT_EQ(describe(menus->getMenuForIndex(4, "Window")), "200410 200420 -");
    EXPECT_EQ(describe(menus->getMenuForIndex(5, "Help")), "200510 200080");
}

TEST_F(ApplicationTest, HardwareCommandsAreDisabledWhileNoWindowIsShown)
{
    start();
    const auto active = [this](juce::CommandID id)
    {
        juce::ApplicationCommandInfo info(id);
        app->getCommandInfo(id, info);
        return (info.flags & juce::ApplicationCommandInfo::isDisabled) == 0;
    };
    EXPECT_TRUE(active(0x200060));
    EXPECT_TRUE(active(0x200074));

    window(0).setMinimised(true);
    for (int i = 0; i < 100 && !window(0).isMinimised(); ++i)
        pumpMessages();
    ASSERT_TRUE(window(0).isMinimised());
    for (const juce::CommandID id : {0x200060, 0x200063, 0x200064, 0x200070, 0x200074})
        EXPECT_FALSE(active(id)) << std::hex << id;
    EXPECT_TRUE(active(0x200010));

    invoke(CommandIds::bringAllToFront);
    // Slower under Wine than under a Linux window manager; the loop ends as soon as it is restored.
    for (int i = 0; i < 250 && window(0).isMinimised(); ++i)
        pumpMessages();
    EXPECT_TRUE(active(0x200060));
}

TEST_F(ApplicationTest, AboutOpensOnceAndUserGuideIsReportedMissing)
{
    start();
    invoke(CommandIds::about);
    AboutWindow* about = windows().aboutWindow.get();
    ASSERT_NE(about, nullptr);
    invoke(CommandIds::about);
    EXPECT_EQ(windows().aboutWindow.get(), about) << "a second About does nothing";
    EXPECT_EQ(about->aboutPanel.versionLabel->getText(), "Software Version: 1.0.5");
    EXPECT_FALSE(about->isUsingNativeTitleBar());
    EXPECT_FALSE(about->isResizable());
    EXPECT_TRUE(about->isAlwaysOnTop());

    about->aboutPanel.mouseUp(juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), {}, {},
                                               0.0f, 0.0f, 0.0f, 0.0f, 0.0f, &about->aboutPanel,
                                               &about->aboutPanel, juce::Time::getCurrentTime(), {},
                                               juce::Time::getCurrentTime(), 1, false));
    pumpMessages();
    EXPECT_EQ(windows().aboutWindow, nullptr);

    if (!VelkorEditorApplication::userGuideFile().exists())
    {
        invoke(CommandIds::openUserGuide);
        EXPECT_EQ(messages, juce::StringArray("Unable to find User Guide." +
                                              VelkorEditorApplication::userGuideFile().getFullPathName()));
    }
}

TEST_F(ApplicationTest, AutoPopulateHidesOnEscapeAndReturnsTheSameTool)
{
    start();
    invoke(CommandIds::autoPopulate);
    juce::Component* tool = windows().autoPopWindow.get();
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(tool->getName(), "Auto Populate Tool");
    tool->setVisible(false);
    invoke(CommandIds::autoPopulate);
    EXPECT_EQ(windows().autoPopWindow.get(), tool);
    EXPECT_TRUE(tool->isVisible());
}

TEST_F(ApplicationTest, WhatIsTypedIsWhatIsSavedSentCopiedOrQuitWith)
{
    const juce::File f = programFile("typed.vkr", someProgram(5));
    start({f.getFullPathName()});
    NumberBox& tempo = *window(0).getEditor().arpPanel->tempoBox;
    const juce::CommandID commands[] = {CommandIds::save, CommandIds::sendProgram1, CommandIds::sendRam,
                                        CommandIds::copyProgram, CommandIds::quit};
    int typed = 90;
    for (const auto command : commands)
    {
        SCOPED_TRACE(command);
        // Typed, not yet committed with Return: the box has the focus and the caret.
        tempo.focusGained(juce::Component::focusChangedDirectly);
        testsupport::typeInto(tempo, juce::String(++typed));
        ASSERT_NE(window(0).getController().getModel().getGlobal(ProgramModel::arpTempo), typed);
        invoke(command);
        EXPECT_EQ(window(0).getController().getModel().getGlobal(ProgramModel::arpTempo), typed);
    }
    ProgramModel saved = someProgram(5);
    saved.setGlobal(ProgramModel::arpTempo, 91);
    EXPECT_EQ(readProgramFile(f), readProgramFile(programFile("expected.vkr", saved)));

    // Out of range is refused as Return refuses it: the committed value comes back, and is saved.
    tempo.focusGained(juce::Component::focusChangedDirectly);
    testsupport::typeInto(tempo, "999");
    invoke(CommandIds::save);
    EXPECT_EQ(tempo.getText(), juce::String(typed));
    EXPECT_EQ(window(0).getController().getModel().getGlobal(ProgramModel::arpTempo), typed);
}

TEST_F(ApplicationTest, FileArgumentsAreTakenExactlyAsGiven)
{
    // Each name must open itself, not the file its words would make when joined with spaces.
#if JUCE_WINDOWS
    // Windows allows no tabs, newlines or quotes in a name.
    const char* names[] = {"two  spaces.vkr", "a;b.vkr"};
#else
    const char* names[] = {"a\tb.vkr", "a\nb.vkr", "\"quoted\".vkr", "two  spaces.vkr"};
#endif
    for (const char* name : names)
    {
        SCOPED_TRACE(name);
        TearDown();
        SetUp();
        const juce::File decoyNow = programFile("a b.vkr", someProgram(6));
        const juce::File f = programFile(name, someProgram(7));
        start({"--simulator", f.getFullPathName()});
        ASSERT_EQ(windows().getWindows().size(), 1);
        EXPECT_EQ(window(0).getFilePath(), f.getFullPathName());
        EXPECT_EQ(window(0).getProgramImage(), someProgram(7).toSysExData());
        EXPECT_TRUE(messages.isEmpty()) << messages.joinIntoString("\n");
        invoke(CommandIds::save);
        EXPECT_EQ(readProgramFile(decoyNow), readProgramFile(programFile("x.vkr", someProgram(6))))
            << "another file was written";
    }
}

TEST_F(ApplicationTest, SaveAsAsksBeforeReplacingTheFileWithVkrAdded)
{
    start();
    const juce::File kept = programFile("keep.vkr", someProgram(8));
    for (const bool replace : {false, true})
    {
        answer = replace;
        app->saveChosenFile(&window(0), folder.getChildFile("keep"));
        pumpMessages();
        const ProgramModel& expected = replace ? ProgramModel::makeDefault() : someProgram(8);
        EXPECT_EQ(readProgramFile(kept), readProgramFile(programFile("expected.vkr", expected)));
        EXPECT_EQ(window(0).getFilePath(), replace ? kept.getFullPathName() : juce::String());
    }
    EXPECT_EQ(questions.size(), 2);
    EXPECT_TRUE(questions[0].startsWith("\"keep.vkr\" already exists."));

    app->saveChosenFile(&window(0), folder.getChildFile("fresh"));
    EXPECT_TRUE(folder.getChildFile("fresh.vkr").existsAsFile()) << "a new name is not asked about";
    EXPECT_EQ(questions.size(), 2);
}

TEST_F(ApplicationTest, ImportOpensEachProgramOfASysExFileAndExportWritesWhatSaveWrites)
{
    start();
    const ProgramModel slot2 = someProgram(10), ram = someProgram(11);
    ByteArray bytes = SysExFile::writeMessage(slot2.toSysExData(), 2);
    bytes[4] = ProgramSysEx::programDumpCommand;
    for (const auto& part :
         {fixtures::fromHex("f0 7e 7f 06 01 f7"), SysExFile::writeMessage(ram.toSysExData(), 0)})
        bytes.insert(bytes.end(), part.begin(), part.end());
    const juce::File live = folder.getChildFile("Live.syx");
    live.replaceWithData(bytes.data(), bytes.size());

    EXPECT_EQ(windows().importFile(live).size(), 2);
    ASSERT_EQ(windows().getWindows().size(), 3);
    EXPECT_EQ(window(1).getName(), "Velkor Editor - Live.syx - PROGRAM 2");
    EXPECT_EQ(window(2).getName(), "Velkor Editor - Live.syx - RAM");
    EXPECT_EQ(window(1).getProgramImage(), slot2.toSysExData());
    EXPECT_EQ(window(2).getProgramImage(), ram.toSysExData());
    EXPECT_EQ(window(1).getFilePath(), juce::String()) << "Save must not write one program over the bank";

    bytes.pop_back();
    const juce::File damaged = folder.getChildFile("damaged.syx");
    damaged.replaceWithData(bytes.data(), bytes.size());
    EXPECT_TRUE(windows().importFile(damaged).isEmpty());
    EXPECT_EQ(messages, juce::StringArray("Error Importing file\n" + damaged.getFullPathName() +
                                          "\nmessage 3 at offset 123: no end byte (0xF7)"));
    EXPECT_EQ(windows().getWindowCounter(), 3);

    // More programs than a bank holds are asked about; two for one slot are told apart.
    const std::vector<ByteArray> six(6, SysExFile::writeMessage(ram.toSysExData(), 1));
    juce::String reason;
    ASSERT_TRUE(SysExFile::write(folder.getChildFile("capture.syx"), six, reason)) << reason;
    windows().importFile(folder.getChildFile("capture.syx"));
    pumpMessages();
    EXPECT_EQ(questions, juce::StringArray(
                             "\"capture.syx\" holds 6 programs.\n\nDo you want to open a window for each?"));
    ASSERT_EQ(windows().getWindows().size(), 9);
    EXPECT_EQ(window(8).getName(), "Velkor Editor - capture.syx - PROGRAM 1 (message 6)");

    app->exportChosenFile(&window(1), folder.getChildFile("out"));
    EXPECT_EQ(window(1).getName(), "Velkor Editor - Live.syx - PROGRAM 2") << "the window keeps no file";
    ASSERT_TRUE(app->saveWindowTo(window(1), folder.getChildFile("same.vkr")));
    juce::MemoryBlock exported, saved;
    ASSERT_TRUE(folder.getChildFile("out.syx").loadFileAsData(exported));
    folder.getChildFile("same.vkr").loadFileAsData(saved);
    EXPECT_EQ(exported, saved);
}

TEST_F(ApplicationTest, UndoAndRedoWalkTheCurrentWindowsStepsAndSayWhatTheyTakeBack)
{
    const juce::File f = programFile("song.vkr", someProgram(9));
    start({f.getFullPathName()});
    MainWindow* other = windows().newWindow();
    const ByteArray otherImage = other->getProgramImage();
    ASSERT_TRUE(activate(*other));
    ASSERT_TRUE(activate(window(0)));
    ASSERT_EQ(windows().getCurrentWindow(), &window(0));
    auto& commands = *app->getCommandManager();
    const auto menuText = [&commands](juce::CommandID id)
    {
        juce::ApplicationCommandInfo info(id);
        commands.getTargetForCommand(id, info);
        return (info.flags & juce::ApplicationCommandInfo::isDisabled) != 0 ? juce::String("(off)")
                                                                            : info.shortName;
    };
    EXPECT_EQ(menuText(CommandIds::undo), "(off)") << "the program a window starts with is not a step";

    invoke(CommandIds::copyProgram);
    NumberBox& tempo = *window(0).getEditor().arpPanel->tempoBox;
    testsupport::typeInto(tempo, "77");
    testsupport::pressReturn(tempo);
    const ByteArray typed = window(0).getProgramImage();
    other->getController().setGlobalValue(ProgramModel::arpTempo, 40);
    window(0).getController().setPadValue(0, 0, PadData::noteField, 1);
    invoke(CommandIds::pastePadBankA);
    EXPECT_EQ(menuText(CommandIds::undo), "Undo Paste Pad Bank A");

    invoke(CommandIds::undo);
    EXPECT_EQ(menuText(CommandIds::undo), "Undo Pad A1 Note");
    invoke(CommandIds::undo);
    EXPECT_EQ(window(0).getProgramImage(), typed);
    EXPECT_EQ(menuText(CommandIds::undo), "Undo Arpeggiator TEMPO");
    invoke(CommandIds::undo);
    EXPECT_EQ(window(0).getProgramImage(), someProgram(9).toSysExData());
    EXPECT_EQ(menuText(CommandIds::redo), "Redo Arpeggiator TEMPO");
    invoke(CommandIds::redo);
    EXPECT_EQ(window(0).getProgramImage(), typed);

    window(0).getController().setGlobalValue(ProgramModel::arpOctaveRange, 3);
    EXPECT_EQ(menuText(CommandIds::redo), "(off)") << "a new change drops what could be redone";
    EXPECT_NE(other->getProgramImage(), otherImage) << "the other window kept its own change";
    other->getController().undo();
    EXPECT_EQ(other->getProgramImage(), otherImage);
}

TEST_F(ApplicationTest, UndoTakesBackTypingFirstAndReachesTheWindowAToolWritesInto)
{
    start();
    NumberBox& tempo = *window(0).getEditor().arpPanel->tempoBox;
    window(0).getController().setGlobalValue(ProgramModel::arpTempo, 150);
    invoke(CommandIds::undo);
    const int before = window(0).getController().getModel().getGlobal(ProgramModel::arpTempo);
    tempo.focusGained(juce::Component::focusChangedDirectly);
    testsupport::typeInto(tempo, "99");
    invoke(CommandIds::undo);
    EXPECT_EQ(tempo.getText(), juce::String(before));

    invoke(CommandIds::autoPopulate);
    invoke(CommandIds::librarian);
    windows().deviceWindow.reset(); // shown for want of an output
    // The key goes where the focus is, as a person's would.
    const auto press = [](juce::Component* tool, juce::KeyPress key)
    {
        auto* window = dynamic_cast<juce::TopLevelWindow*>(tool);
        ASSERT_TRUE(window != nullptr && activate(*window));
        window->getPeer()->handleKeyPress(key);
        pumpMessages();
    };
    const auto tempoNow = [this]
    { return window(0).getController().getModel().getGlobal(ProgramModel::arpTempo); };
    press(windows().autoPopWindow.get(), juce::KeyPress('y', juce::ModifierKeys::commandModifier, 0));
    EXPECT_EQ(tempoNow(), 150) << "the redo step outlived the typing taken back";
    press(windows().librarianWindow.get(), juce::KeyPress('z', juce::ModifierKeys::commandModifier, 0));
    EXPECT_EQ(tempoNow(), before);
}
