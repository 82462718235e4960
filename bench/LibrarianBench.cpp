#include "app/CommandIds.h"
#include "app/VelkorEditorApplication.h"
#include "midi/SimulatorMidiDevices.h"
#include "tools/LibrarianWindow.h"

#include <benchmark/benchmark.h>

// Read All as a musician waits for it: the editor with one window and the Librarian on screen, the
// simulated controller answering at once, from the click to the last row shown.
static void readAllThroughSimulator(benchmark::State& state)
{
    VelkorEditorApplication app;
    app.quitAction = [] {};
    auto devices = std::make_unique<SimulatorMidiDevices>(nullptr);
    devices->getSimulator().setReplyDelay(0);
    app.setDevices(std::move(devices));
    app.initialiseWithArguments({});
    app.getWindowManager().applyDeviceNames({VelkorSimulator::deviceName}, {VelkorSimulator::deviceName});
    app.getCommandManager()->invokeDirectly(CommandIds::librarian, false);
    auto* window = dynamic_cast<LibrarianWindow*>(app.getWindowManager().librarianWindow.get());
    if (window == nullptr)
    {
        state.SkipWithError("no Librarian");
        return;
    }
    Librarian& librarian = window->getLibrarian();
    auto* messageManager = juce::MessageManager::getInstance();
    for (auto _ : state)
    {
        librarian.readAll();
        while (librarian.isBusy())
            messageManager->runDispatchLoopUntil(0);
    }
    if (librarian.getRow(4).state != Librarian::State::read)
        state.SkipWithError(librarian.getStatus().toRawUTF8());
    app.shutdown();
}
BENCHMARK(readAllThroughSimulator)->Unit(benchmark::kMillisecond);
