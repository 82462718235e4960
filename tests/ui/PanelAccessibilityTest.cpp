#include "app/CommandIds.h"
#include "midi/DeviceManagerWindow.h"
#include "support/ApplicationFixture.h"
#include "tools/LibrarianWindow.h"
#include "ui/Announcement.h"
#include "ui/KeyboardAccess.h"
#include "ui/NumberBox.h"

#include <gtest/gtest.h>

using testsupport::pumpMessages;

namespace
{
class PanelAccessibilityTest : public ApplicationFixture
{
protected:
    void SetUp() override
    {
        ApplicationFixture::SetUp();
        Announcement::setListener([this](const juce::String& text) { spoken.add(text); });
    }

    void TearDown() override
    {
        Announcement::setListener(nullptr);
        ApplicationFixture::TearDown();
    }

    static void collectFocusable(juce::Component& parent, std::vector<juce::Component*>& found)
    {
        for (auto* child : parent.getChildren())
        {
            // A disabled button is out of Tab's way but still read, as unavailable.
            const bool disabledButton = !child->isEnabled() && dynamic_cast<juce::Button*>(child) != nullptr;
            if (child->getWantsKeyboardFocus() || disabledButton)
                found.push_back(child);
            collectFocusable(*child, found);
        }
    }

    static juce::AccessibilityHandler& titled(juce::Component& window, const juce::String& title)
    {
        std::vector<juce::Component*> controls;
        collectFocusable(window, controls);
        for (auto* control : controls)
            if (auto* handler = control->getAccessibilityHandler(); handler != nullptr && handler->getTitle() == title)
                return *handler;
        throw std::runtime_error("no control titled " + title.toStdString());
    }

    static juce::String valueOf(juce::AccessibilityHandler& handler)
    {
        auto* value = handler.getValueInterface();
        return value != nullptr ? value->getCurrentValueAsString() : juce::String();
    }

    // Tests one window's controls and says how many it has.
    static int checkWindow(juce::Component& window, const juce::String& name)
    {
        std::vector<juce::Component*> controls;
        collectFocusable(window, controls);
        juce::StringArray titles;
        for (auto* control : controls)
        {
            auto* handler = control->getAccessibilityHandler();
            if (handler == nullptr)
            {
                ADD_FAILURE() << "no accessibility for a control of " << name;
                continue;
            }
            const juce::String title = handler->getTitle();
            EXPECT_TRUE(title.isNotEmpty()) << "an untitled control in " << name;
            EXPECT_FALSE(titles.contains(title)) << title << " twice in " << name;
            titles.add(title);
            EXPECT_NE(handler->getRole(), juce::AccessibilityRole::unspecified) << title;
            EXPECT_FALSE(handler->isIgnored()) << title;

            juce::String expected = handler->getValueInterface() != nullptr ? "(something)" : "";
            if (auto* box = dynamic_cast<NumberBox*>(control))
                expected = box->getValueText();
            else if (auto* combo = dynamic_cast<juce::ComboBox*>(control))
                expected = combo->getText();
            if (expected == "(something)")
                EXPECT_TRUE(valueOf(*handler).isNotEmpty()) << title;
            else
                EXPECT_EQ(valueOf(*handler), expected) << title;
        }
        std::cout << "[ named    ] " << name << ": " << titles.size() << " controls\n";
        return titles.size();
    }

    juce::Component& editorWindow() { return mainWindow(0); }

    juce::StringArray spoken;
};
} // namespace

TEST_F(PanelAccessibilityTest, EveryControlOfEveryWindowHasItsOwnTitleARoleAndItsValue)
{
    useSimulator();
    start();
    for (auto command : {CommandIds::librarian, CommandIds::autoPopulate, CommandIds::deviceSetup})
        invoke(command);
    auto& m = manager();
    const std::pair<juce::Component*, const char*> windows[] = {{&editorWindow(), "Main window"},
                                                                 {m.librarianWindow.get(), "Librarian"},
                                                                 {m.autoPopWindow.get(), "Auto Populate"},
                                                                 {m.deviceWindow.get(), "Device Setup"}};
    for (const auto& [window, name] : windows)
    {
        ASSERT_NE(window, nullptr);
        EXPECT_GT(checkWindow(*window, name), 0) << name;
    }

    // Values read as the panel shows them, from the default program.
    const std::pair<const char*, const char*> shown[] = {{"Bank A Pad 1 Note", "44, G#2"},
                                                        {"Bank B Pad 8 Trigger", "Toggle"},
                                                        {"Arpeggiator ON/OFF", "Off"},
                                                        {"Arpeggiator TIME DIV", "1/4"},
                                                        {"Knob 3 HI", "127"},
                                                        {"Joystick X axis message type", "Pitchbend"},
                                                        {"PROGRAM 2 SEND", ""}};
    for (const auto& [title, value] : shown)
        EXPECT_EQ(valueOf(titled(editorWindow(), title)), value) << title;

    // A value set through assistive technology obeys the box's range, as typing does.
    auto& tempo = titled(editorWindow(), "Arpeggiator TEMPO");
    tempo.getValueInterface()->setValueAsString("250");
    EXPECT_EQ(valueOf(tempo), "128");
    tempo.getValueInterface()->setValueAsString("200");
    EXPECT_EQ(controller(0).getModel().getGlobal(ProgramModel::arpTempo), 200);

    // The switch is flipped once per press or toggle, as by a click.
    auto& arpOn = titled(editorWindow(), "Arpeggiator ON/OFF");
    ASSERT_TRUE(arpOn.getActions().invoke(juce::AccessibilityActionType::toggle));
    pumpMessages();
    EXPECT_EQ(valueOf(arpOn), "On");
    EXPECT_EQ(controller(0).getModel().getGlobal(ProgramModel::arpOn), 1);

    // Pictures that only decorate are not there for a screen reader.
    for (auto* child : mainWindow(0).getEditor().joystickPanel->getChildren())
        EXPECT_TRUE(dynamic_cast<juce::ImageComponent*>(child) == nullptr || child->getAccessibilityHandler() == nullptr);

    // Device rows and log rows read as their text.
    auto* devices = dynamic_cast<DeviceManagerWindow*>(m.deviceWindow.get());
    EXPECT_EQ(devices->panel.inputModel.getNameForRow(0), "Velkor Simulator");
}

TEST_F(PanelAccessibilityTest, TabVisitsTheMainWindowGroupByGroupAndKeysPressAndOpen)
{
    start();
    auto& window = mainWindow(0);
    auto& editor = window.getEditor();
    window.toFront(true);
    pumpMessages();
    auto* peer = window.getPeer();
    ASSERT_NE(peer, nullptr);

    const juce::Component* groups[] = {editor.joystickPanel.get(), editor.hardwareControls.get(),
                                       editor.padBankA.get(),      editor.padBankB.get(),
                                       editor.knobBank.get(),      editor.keybedPanel.get(),
                                       editor.arpPanel.get(),      editor.chanSelection.get()};
    const auto groupOf = [&](const juce::Component* c)
    {
        for (int g = 0; g < 8; ++g)
            if (groups[g]->isParentOf(c))
                return g;
        return -1;
    };

    const auto order = KeyboardAccess::tabOrder(window);
    std::vector<int> visited;
    std::set<juce::Component*> seen;
    for (std::size_t i = 0; i < order.size(); ++i)
    {
        peer->handleKeyPress(juce::KeyPress(juce::KeyPress::tabKey));
        auto* focused = juce::Component::getCurrentlyFocusedComponent();
        ASSERT_EQ(focused, order[i]) << "Tab " << i + 1;
        seen.insert(focused);
        if (visited.empty() || visited.back() != groupOf(focused))
            visited.push_back(groupOf(focused));
    }
    EXPECT_EQ(visited, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    pumpMessages();
    const auto* ring = window.getKeyboardAccess().getRing();
    ASSERT_NE(ring, nullptr) << "the keyboard's focus is shown";
    EXPECT_TRUE(ring->getScreenBounds().contains(order.back()->getScreenBounds()));
    EXPECT_EQ(seen.size(), order.size());
    EXPECT_EQ(order[3]->getTitle(), "PROGRAM 1 SEND") << "after the joystick's three visible controls";
    EXPECT_EQ(order[12]->getTitle(), "Bank A Pad 1 Note name");

    peer->handleKeyPress(juce::KeyPress(juce::KeyPress::tabKey));
    EXPECT_EQ(juce::Component::getCurrentlyFocusedComponent(), order.front()) << "Tab wraps round";
    peer->handleKeyPress(juce::KeyPress(juce::KeyPress::tabKey, juce::ModifierKeys::shiftModifier, 0));
    EXPECT_EQ(juce::Component::getCurrentlyFocusedComponent(), order.back());

    // Space presses a focused button; Return or Space opens a focused list.
    editor.arpPanel->arpOnButton->grabKeyboardFocus();
    peer->handleKeyPress(juce::KeyPress(juce::KeyPress::spaceKey));
    pumpMessages();
    EXPECT_EQ(window.getController().getModel().getGlobal(ProgramModel::arpOn), 1);
    auto& mode = *editor.arpPanel->modeCombo;
    for (const auto key : {juce::KeyPress::returnKey, juce::KeyPress::spaceKey})
    {
        mode.grabKeyboardFocus();
        peer->handleKeyPress(juce::KeyPress(key));
        EXPECT_TRUE(mode.isPopupActive());
        mode.hidePopup();
        pumpMessages();
    }

    peer->handleKeyPress(juce::KeyPress(juce::KeyPress::F10Key));
    EXPECT_TRUE(juce::PopupMenu::dismissAllActiveMenus()) << "F10 opens the menu bar";
    pumpMessages();

    // A click shows nothing new to a mouse user: the ring goes.
    juce::ModifierKeys::currentModifiers = juce::ModifierKeys::leftButtonModifier;
    peer->handleMouseEvent(juce::MouseInputSource::InputSourceType::mouse, {600.0f, 400.0f},
                           juce::ModifierKeys::leftButtonModifier, juce::MouseInputSource::defaultPressure,
                           juce::MouseInputSource::defaultOrientation, juce::Time::currentTimeMillis());
    peer->handleMouseEvent(juce::MouseInputSource::InputSourceType::mouse, {600.0f, 400.0f}, {},
                           juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                           juce::Time::currentTimeMillis());
    juce::ModifierKeys::currentModifiers = {};
    pumpMessages();
    EXPECT_EQ(window.getKeyboardAccess().getRing(), nullptr);
}

TEST_F(PanelAccessibilityTest, ResultsAreSpoken)
{
    auto simulator = useSimulator();
    start();
    invoke(CommandIds::deviceSetup);
    auto& panel = dynamic_cast<DeviceManagerWindow*>(manager().deviceWindow.get())->panel;
    panel.inputList->selectRow(0);
    panel.outputList->selectRow(0);
    panel.okButton->triggerClick();
    pumpMessages();

    const auto waitFor = [this](const juce::String& text)
    {
        for (int i = 0; i < 300 && !spoken.contains(text); ++i)
            pumpMessages(10);
        return spoken.contains(text);
    };
    invoke(CommandIds::sendProgram1 + 1);
    EXPECT_TRUE(waitFor("Program sent to PROGRAM 2."));
    invoke(CommandIds::getProgram1 + 1);
    EXPECT_TRUE(waitFor("PROGRAM 2 received from the controller."));

    simulator->setFault(VelkorSimulator::Fault::wrongLength);
    invoke(CommandIds::getProgram1 + 1);
    for (int i = 0; i < 300 && messages.isEmpty(); ++i)
        pumpMessages(10);
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_TRUE(spoken.contains(messages[0])) << "a bad dump's message box is spoken";

    simulator->setFault(VelkorSimulator::Fault::none);
    invoke(CommandIds::librarian);
    auto& librarian = dynamic_cast<LibrarianWindow*>(manager().librarianWindow.get())->getLibrarian();
    librarian.readAll();
    for (int i = 0; i < 1500 && librarian.isBusy(); ++i)
        pumpMessages(10);
    EXPECT_TRUE(waitFor(librarian.getStatus())) << librarian.getStatus();
}
