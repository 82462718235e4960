#include "BenchSupport.h"
#include "app/MainWindowManager.h"
#include "app/VelkorEditorApplication.h"
#include "midi/SimulatorMidiDevices.h"

#include <benchmark/benchmark.h>

using benchsupport::deliverPendingMessages;
using benchsupport::valuesOf;

namespace
{
// Two unrelated programs, loaded in turn so that every load changes what the widgets show.
struct TwoPrograms
{
    TwoPrograms()
    {
        juce::Random random(8);
        first = valuesOf(benchsupport::randomProgram(random));
        second = valuesOf(benchsupport::randomProgram(random));
    }
    const ProgramValues& next() { return (flip = !flip) ? first : second; }

    ProgramValues first, second;
    bool flip = false;
};
} // namespace

// Off the desktop, so no painting gets mixed in: the widgets, the model and the notifications.
static void loadProgramIntoEditor(benchmark::State& state)
{
    EditorComponent editor;
    EditorController controller(&editor);
    TwoPrograms programs;
    for (auto _ : state)
    {
        controller.applyProgramValues(programs.next(), false);
        deliverPendingMessages();
    }
}
BENCHMARK(loadProgramIntoEditor)->Unit(benchmark::kMicrosecond);

// What a window's peer does on a full repaint: the whole panel into a cleared ARGB software image.
static void paintWholeEditor(benchmark::State& state)
{
    EditorComponent editor;
    EditorController controller(&editor);
    TwoPrograms programs;
    controller.applyProgramValues(programs.next(), false);
    deliverPendingMessages();
    juce::Image image(juce::Image::ARGB, EditorComponent::width, EditorComponent::height, true,
                      juce::SoftwareImageType());
    for (auto _ : state)
    {
        image.clear(image.getBounds());
        juce::Graphics g(image);
        editor.paintEntireComponent(g, false);
    }
}
BENCHMARK(paintWholeEditor)->Unit(benchmark::kMillisecond);

// A main window as Ctrl+N makes it, with the menu bar and key mappings, shown on the display and
// then deleted again; the first window stays open throughout, as it does in the editor.
static void createAndDestroyMainWindow(benchmark::State& state)
{
    if (!benchsupport::haveDisplay())
    {
        state.SkipWithError("needs a display");
        return;
    }
    VelkorEditorApplication app;
    app.quitAction = [] {};
    app.setDevices(std::make_unique<SimulatorMidiDevices>(nullptr));
    app.initialiseWithArguments({});
    deliverPendingMessages();
    MainWindowManager& manager = app.getWindowManager();
    for (auto _ : state)
    {
        MainWindow* window = manager.newWindow();
        deliverPendingMessages();
        manager.deleteWindow(*window);
        deliverPendingMessages();
    }
    app.shutdown();
    deliverPendingMessages();
}
BENCHMARK(createAndDestroyMainWindow)->Unit(benchmark::kMillisecond);

// One dump offered to N windows that are all waiting for it; the windows are off the desktop so the
// number is the editor's own work, painting excluded.
static void offerDumpToWindows(benchmark::State& state)
{
    benchsupport::SilentSender sender;
    MainWindowManager manager;
    MainWindowManager::Services services;
    services.sender = &sender;
    manager.setServices(services);
    const int count = static_cast<int>(state.range(0));
    for (int i = 0; i < count; ++i)
        manager.createWindow()->getController().resetToDefaults();
    deliverPendingMessages();
    TwoPrograms programs;
    for (auto _ : state)
    {
        state.PauseTiming();
        for (auto* window : manager.getWindows())
            window->getController().requestProgram(1);
        state.ResumeTiming();
        manager.offerDump(programs.next());
        deliverPendingMessages();
    }
}
BENCHMARK(offerDumpToWindows)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond);
