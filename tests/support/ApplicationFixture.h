#pragma once

#include "app/VelkorEditorApplication.h"
#include "midi/SimulatorMidiDevices.h"
#include "support/TestSupport.h"
#include "ui/UserMessage.h"

#include <gtest/gtest.h>

// The real application object, as the framework would start it, with quitting, message boxes and
// questions replaced by what a test can read. A test chooses its MIDI devices before start().
class ApplicationFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app = std::make_unique<VelkorEditorApplication>();
        app->quitAction = [this] { ++quitRequests; };
        UserMessage::setHandler([this](const juce::String& text) { messages.add(text); });
        UserMessage::setQuestioner(
            [this](const juce::String& text)
            {
                questions.add(text);
                return answer;
            });
        folder = juce::File::getSpecialLocation(juce::File::tempDirectory)
                     .getChildFile("velkor-app-" + juce::Uuid().toString());
        ASSERT_TRUE(folder.createDirectory());
    }

    void TearDown() override
    {
        if (app != nullptr)
            app->shutdown();
        app.reset();
        UserMessage::setHandler(nullptr);
        UserMessage::setQuestioner(nullptr);
        folder.deleteRecursively();
    }

    void start(const juce::StringArray& arguments = {})
    {
        app->initialiseWithArguments(arguments);
        testsupport::pumpMessages();
    }

    // The simulated controller as the application's only MIDI device.
    std::shared_ptr<VelkorSimulator> useSimulator()
    {
        auto devices = std::make_unique<SimulatorMidiDevices>(nullptr);
        auto shared = devices->getSharedSimulator();
        app->setDevices(std::move(devices));
        return shared;
    }

    void invoke(juce::CommandID id)
    {
        app->getCommandManager()->invokeDirectly(id, false);
        testsupport::pumpMessages();
    }

    MainWindowManager& manager() { return app->getWindowManager(); }
    MainWindow& mainWindow(int index = 0) { return *manager().getWindows()[index]; }
    EditorController& controller(int index) { return mainWindow(index).getController(); }

    std::unique_ptr<VelkorEditorApplication> app;
    juce::StringArray messages, questions;
    bool answer = true;
    int quitRequests = 0;
    juce::File folder;
};
