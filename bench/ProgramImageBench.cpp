#include "model/ProgramFile.h"
#include "midi/ProgramMessages.h"
#include "support/ProgramFixtures.h"

#include <benchmark/benchmark.h>

static void encodeProgram(benchmark::State& state)
{
    juce::Random random(1);
    const ProgramModel model = fixtures::randomModel(random);
    for (auto _ : state)
        benchmark::DoNotOptimize(model.toSysExData());
}
BENCHMARK(encodeProgram);

static void decodeProgramDump(benchmark::State& state)
{
    juce::Random random(2);
    const ByteArray data = fixtures::randomModel(random).toSysExData();
    const auto message = juce::MidiMessage::createSysExMessage(data.data(), static_cast<int>(data.size()));
    for (auto _ : state)
        benchmark::DoNotOptimize(decodeProgramSysEx(message));
}
BENCHMARK(decodeProgramDump);

static void readProgramFileFromDisk(benchmark::State& state)
{
    juce::Random random(3);
    const juce::File file = juce::File::createTempFile(".vkr");
    ProgramFile::write(file, fixtures::randomModel(random).toSysExData());
    for (auto _ : state)
        benchmark::DoNotOptimize(readProgramFile(file));
    file.deleteFile();
}
BENCHMARK(readProgramFileFromDisk);
