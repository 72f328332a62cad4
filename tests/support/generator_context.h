// A TestContext whose set is reached directly and whose random source is reproducible.
#pragma once

#include "support/test_context.h"

namespace orvenix::test {

struct GeneratorContext : TestContext {
    explicit GeneratorContext(std::uint64_t seed = 1) { ctx.random.Reseed(seed); }
    BoardSet& set = *TestContext::set;
};

} // namespace orvenix::test
