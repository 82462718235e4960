#include <benchmark/benchmark.h>
#include <juce_gui_basics/juce_gui_basics.h>

// The benchmarks run on the message thread of a GUI initialised as the editor's is: windows,
// timers and posted notifications behave as they do in the application.
int main(int argc, char** argv)
{
    // JUCE installs its X error handlers only for an application; a window that goes away while it
    // is being queried must not end the run.
    juce::JUCEApplicationBase::createInstance = []
    { return static_cast<juce::JUCEApplicationBase*>(nullptr); };
    const juce::ScopedJuceInitialiser_GUI juce;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
