#include "support/TestSupport.h"
#include "BinaryData.h"
#include "ui/EditorComponent.h"

#include <gtest/gtest.h>

TEST(EditorComponent, SubPanelsSitWhereTheControllerFaceHasThem)
{
    EditorComponent editor;
    EXPECT_EQ(editor.getBounds(), juce::Rectangle<int>(0, 0, 1200, 750));
    const std::pair<juce::Component*, juce::Rectangle<int>> layout[] = {
        {editor.joystickPanel.get(), {50, 102, 151, 270}},
        {editor.hardwareControls.get(), {50, 387, 151, 260}},
        {editor.padBankA.get(), {220, 110, 503, 264}},
        {editor.padBankB.get(), {220, 385, 503, 264}},
        {editor.chanSelection.get(), {220, 650, 503, 20}},
        {editor.knobBank.get(), {730, 110, 418, 315}},
        {editor.keybedPanel.get(), {730, 440, 420, 98}},
        {editor.arpPanel.get(), {730, 546, 416, 108}},
    };
    for (const auto& [panel, bounds] : layout)
    {
        EXPECT_EQ(panel->getBounds(), bounds) << panel->getName();
        EXPECT_TRUE(panel->isVisible());
        EXPECT_EQ(panel->getParentComponent(), &editor);
    }
    for (std::size_t i = 0; i < std::size(layout); ++i)
        for (std::size_t j = i + 1; j < std::size(layout); ++j)
            EXPECT_FALSE(layout[i].second.intersects(layout[j].second)) << i << " overlaps " << j;

    EXPECT_EQ(editor.padBankA->getName(), "Pad Bank A");
    EXPECT_EQ(editor.padBankB->getName(), "Pad Bank B");
    EXPECT_EQ(editor.padBankA->bankLabel->getText(), "BANK A");
    EXPECT_EQ(editor.padBankB->bankLabel->getText(), "BANK B");
    EXPECT_EQ(editor.padBankA->bankImage, &editor.bankAStrokeImage);
    EXPECT_EQ(editor.padBankB->bankImage, &editor.bankBStrokeImage);

    editor.setBounds(10, 10, 800, 600);
    EXPECT_EQ(editor.knobBank->getPosition(), juce::Point<int>(730, 110)) << "places do not follow the size";
}

TEST(EditorComponent, ProgramStripShowsExactlyItsNineButtons)
{
    HardwareControlsComponent strip;
    EXPECT_EQ(strip.getBounds(), juce::Rectangle<int>(0, 0, 151, 260));
    const std::pair<juce::ImageButton*, juce::Rectangle<int>> buttons[] = {
        {strip.sendButton1.get(), {14, 20, 63, 24}},       {strip.sendButton2.get(), {14, 76, 63, 24}},
        {strip.sendButton3.get(), {14, 129, 63, 24}},      {strip.sendButton4.get(), {14, 184, 63, 24}},
        {strip.sendToRamButton.get(), {17, 223, 120, 30}}, {strip.getButton1.get(), {80, 20, 57, 24}},
        {strip.getButton2.get(), {80, 76, 57, 24}},        {strip.getButton3.get(), {80, 129, 57, 24}},
        {strip.getButton4.get(), {80, 184, 57, 24}},
    };
    ASSERT_EQ(strip.getNumChildComponents(), 9);
    for (int i = 0; i < 9; ++i)
    {
        const auto& [button, bounds] = buttons[i];
        EXPECT_EQ(strip.getChildComponent(i), button) << "children are the buttons in member order";
        EXPECT_EQ(button->getBounds(), bounds) << i;
        EXPECT_EQ(button->getName(), "new button");
        EXPECT_FALSE(button->getClickingTogglesState());
        EXPECT_TRUE(button->getNormalImage().isValid());
        EXPECT_TRUE(button->getOverImage().isValid());
        EXPECT_TRUE(button->getDownImage().isValid());
    }
    EXPECT_EQ(strip.sendToRamButton->getNormalImage().getWidth(), 131);
    EXPECT_EQ(strip.getButton1->getNormalImage().getWidth(), 61);

    struct Clicks : juce::Button::Listener
    {
        void buttonClicked(juce::Button* b) override { clicked.push_back(b); }
        std::vector<juce::Button*> clicked;
    } clicks;
    for (auto& [button, bounds] : buttons)
        button->addListener(&clicks);
    for (auto& [button, bounds] : buttons)
        button->triggerClick();
    testsupport::pumpMessages();
    ASSERT_EQ(clicks.clicked.size(), 9u);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(clicks.clicked[std::size_t(i)], buttons[i].first);
    for (auto& [button, bounds] : buttons)
        button->removeListener(&clicks);
}

TEST(EditorComponent, NewestEditorsLookIsTheDesktopDefaultWhileItLives)
{
    auto& desktop = juce::Desktop::getInstance();
    auto first = std::make_unique<EditorComponent>();
    EXPECT_EQ(&desktop.getDefaultLookAndFeel(), &first->lookAndFeel);
    auto second = std::make_unique<EditorComponent>();
    EXPECT_EQ(&desktop.getDefaultLookAndFeel(), &second->lookAndFeel);

    second.reset();
    EXPECT_EQ(&desktop.getDefaultLookAndFeel(), &first->lookAndFeel) << "the older editor keeps its look";
    first.reset();
    EXPECT_NE(dynamic_cast<juce::LookAndFeel_V4*>(&desktop.getDefaultLookAndFeel()), nullptr)
        << "with no editor left the framework's own look is back";
}

TEST(EditorComponent, PaintsTheBackgroundUnderThePanels)
{
    EditorComponent editor;
    testsupport::pumpMessages();
    const juce::Image shot = editor.createComponentSnapshot(editor.getLocalBounds());
    const juce::Image& background = editor.backgroundImage;
    for (const auto& [x, y] : {std::pair{5, 5}, std::pair{600, 720}, std::pair{1190, 740}})
        EXPECT_EQ(shot.getPixelAt(x, y), background.getPixelAt(x, y)) << x << "," << y;
    EXPECT_NE(shot.getPixelAt(300, 200), background.getPixelAt(300, 200)) << "a pad is drawn over it";
}

TEST(EditorComponent, PadBankOutlinesPaintAsTheirArtworkStretchedToTheBank)
{
    // The outlines are scaled once rather than on every paint; the pixels must be the same either way.
    EditorComponent editor;
    const std::pair<PadBankComponent*, juce::Image> banks[] = {
        {editor.padBankA.get(),
         juce::ImageCache::getFromMemory(BinaryData::ColoredPadBankStroke_BankA_png,
                                         BinaryData::ColoredPadBankStroke_BankA_pngSize)},
        {editor.padBankB.get(),
         juce::ImageCache::getFromMemory(BinaryData::ColoredPadBankStroke_BankB_png,
                                         BinaryData::ColoredPadBankStroke_BankB_pngSize)}};
    for (const auto& [bank, artwork] : banks)
    {
        juce::Image painted(juce::Image::ARGB, bank->getWidth(), bank->getHeight(), true);
        juce::Image expected(juce::Image::ARGB, bank->getWidth(), bank->getHeight(), true);
        {
            juce::Graphics g(painted);
            bank->paint(g);
            juce::Graphics reference(expected);
            reference.drawImage(artwork, 0, 2, 503, 260, 0, 0, artwork.getWidth(), artwork.getHeight());
        }
        int differing = 0;
        for (int y = 0; y < painted.getHeight(); ++y)
            for (int x = 0; x < painted.getWidth(); ++x)
                differing += painted.getPixelAt(x, y) != expected.getPixelAt(x, y) ? 1 : 0;
        EXPECT_EQ(differing, 0) << bank->getName();
    }
}
