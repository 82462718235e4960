// Where a main window's memory goes: heap bytes in use after making each part, measured in process.
// Prints key=value lines, in kB.
#include "BenchSupport.h"
#include "app/MainWindowManager.h"
#include "ui/PadComponent.h"
#include "ui/knobComponent.h"

#include <cstdio>
#include <malloc.h>

namespace
{
double heapKilobytes()
{
    malloc_trim(0);
    return double(mallinfo2().uordblks) / 1024.0;
}

// Heap taken by `count` objects from make(), averaged; they are kept alive until all are measured.
template <typename Make> double perObject(int count, Make make)
{
    using Object = decltype(make());
    std::vector<Object> kept;
    const double before = heapKilobytes();
    for (int i = 0; i < count; ++i)
        kept.push_back(make());
    benchsupport::deliverPendingMessages();
    const double after = heapKilobytes();
    kept.clear();
    benchsupport::deliverPendingMessages();
    return (after - before) / count;
}

int countComponents(juce::Component& root, const std::function<bool(juce::Component&)>& match)
{
    int n = match(root) ? 1 : 0;
    for (auto* child : root.getChildren())
        n += countComponents(*child, match);
    return n;
}
} // namespace

int main()
{
    juce::JUCEApplicationBase::createInstance = []
    { return static_cast<juce::JUCEApplicationBase*>(nullptr); };
    const juce::ScopedJuceInitialiser_GUI juce;
    // The first editor fills the image and glyph caches every later one shares.
    auto first = std::make_unique<EditorComponent>();

    const double editor = perObject(10, [] { return std::make_unique<EditorComponent>(); });
    const double numberBox = perObject(50, [] { return std::make_unique<NumberBox>("box"); });
    const double look = perObject(50, [] { return std::make_unique<CustomLook>(); });
    const double textEditor = perObject(50, [] { return std::make_unique<juce::TextEditor>(); });
    const double combo = perObject(50, [] { return std::make_unique<juce::ComboBox>(); });
    // What a text editor is built of: a bare component, and the viewport each one scrolls its text in.
    const double component = perObject(50, [] { return std::make_unique<juce::Component>(); });
    const double viewport = perObject(50, [] { return std::make_unique<juce::Viewport>(); });
    const double label = perObject(50, [] { return std::make_unique<juce::Label>(); });
    const double noteList = perObject(20,
                                      []
                                      {
                                          auto list = std::make_unique<juce::ComboBox>();
                                          for (int note = 0; note < 128; ++note)
                                              list->addItem(PadComponent::noteName(note), note + 1);
                                          return list;
                                      });

    juce::Image outline = first->bankAStrokeImage;
    const std::pair<const char*, double> panels[] = {
        {"pad_bank", perObject(10, [&] { return std::make_unique<PadBankComponent>("BANK A", &outline); })},
        {"pad", perObject(20, [] { return std::make_unique<PadComponent>("Pad"); })},
        {"knob_bank", perObject(10, [] { return std::make_unique<KnobBankComponent>(); })},
        {"knob", perObject(20, [] { return std::make_unique<knobComponent>("Knob"); })},
        {"arpeggiator", perObject(10, [] { return std::make_unique<ArpComponent>(); })},
        {"keybed", perObject(10, [] { return std::make_unique<KeybedComponent>(); })},
        {"joystick", perObject(10, [] { return std::make_unique<JoystickComponent>(); })},
        {"program_strip", perObject(10, [] { return std::make_unique<HardwareControlsComponent>(); })},
        {"channels", perObject(10, [] { return std::make_unique<ChanSelectionComponent>(); })},
    };
    for (const auto& [name, kb] : panels)
        std::printf("heap_per_%s_kb=%.1f\n", name, kb);

    benchsupport::SilentSender sender;
    MainWindowManager manager;
    MainWindowManager::Services services;
    services.sender = &sender;
    manager.setServices(services);
    const double before = heapKilobytes();
    for (int i = 0; i < 10; ++i)
        manager.createWindow()->getController().resetToDefaults();
    benchsupport::deliverPendingMessages();
    const double window = (heapKilobytes() - before) / 10;
    manager.deleteAllWindows();

    const int components = countComponents(*first, [](juce::Component&) { return true; });
    const int boxes =
        countComponents(*first, [](juce::Component& c) { return dynamic_cast<NumberBox*>(&c) != nullptr; });
    std::printf("heap_per_window_kb=%.1f\nheap_per_editor_panel_kb=%.1f\ncomponents_per_editor=%d\n"
                "number_boxes_per_editor=%d\nheap_per_number_box_kb=%.2f\n"
                "heap_per_custom_look_kb=%.2f\nheap_per_text_editor_kb=%.2f\nheap_per_combo_box_kb=%.2f\n"
                "heap_per_note_list_kb=%.2f\nheap_per_component_kb=%.2f\nheap_per_viewport_kb=%.2f\n"
                "heap_per_label_kb=%.2f\n",
                window, editor, components, boxes, numberBox, look, textEditor, combo, noteList, component,
                viewport, label);
    return 0;
}
