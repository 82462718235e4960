#pragma once

#include "model/EditorController.h"
#include "ui/KeyboardAccess.h"

#include <functional>

// One program in one fixed-size window: the editor panel and the controller that owns its program.
class MainWindow : public juce::DocumentWindow, public juce::TextEditor::Listener
{
public:
    struct Services
    {
        juce::MenuBarModel* menuModel = nullptr;
        juce::ApplicationCommandManager* commandManager = nullptr;
        ProgramSender* sender = nullptr;
        std::function<void(MainWindow&)> closeRequested;
        std::function<void(MainWindow&)> activated;
    };

    static constexpr int width = 1200;
    static constexpr int height = 750;

    MainWindow(int x, int y, const Services& services);
    ~MainWindow() override;

    void closeButtonPressed() override;
    void resized() override;
    void activeWindowStatusChanged() override;

    juce::String getFilePath() const { return filePath; }
    void setFilePath(const juce::String& path) { filePath = path; }
    ByteArray getProgramImage() const { return editorController->getProgramImage(); }
    std::unique_ptr<ProgramModel> copyProgram() const { return editorController->copyProgramModel(); }
    EditorController& getController() { return *editorController; }
    EditorComponent& getEditor() { return *editor; }
    const KeyboardAccess& getKeyboardAccess() const { return keyboard; }

private:
    std::unique_ptr<EditorController> editorController;
    juce::String filePath;
    std::unique_ptr<EditorComponent> editor;
    Services services;
    KeyboardAccess keyboard{*this};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(MainWindow)
};
