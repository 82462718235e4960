#pragma once

#include "support/ProgramFixtures.h"

#include <cstdlib>

// libFuzzer's entry point, declared for the warnings our code is built with.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fuzzcheck
{
// A decode that succeeds must be exact: applied to a program and encoded again, the values give back
// the very value bytes they came from.
inline void expectExactDecode(const ProgramValues& values, const std::uint8_t* valueBytes)
{
    if (values.size() != static_cast<std::size_t>(ProgramSysEx::valueCount))
        std::abort();
    ProgramModel model;
    fixtures::applyToModel(values, model);
    const ByteArray reencoded = model.toSysExData();
    if (!std::equal(reencoded.begin() + ProgramSysEx::headerSize, reencoded.end(), valueBytes))
        std::abort();
}
} // namespace fuzzcheck
