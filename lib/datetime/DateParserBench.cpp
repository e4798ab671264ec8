// How many texts per second the free-form date reader reads, for a mix of the
// documented examples: absolute dates in several layouts, times with zones,
// relative items and texts that must be refused.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>

#include "oParseDate.h"

namespace {

// Wednesday, 4 March 2026, 14:25:36 UTC.
constexpr long kReference = 1772634336;

const char* const kTexts[] = {
    "Tuesday, March 5 2002 10:30 PM EST",
    "March 5, 2002 10:30 PM",
    "5.3.02",
    "12/25/99",
    "2002-03-05 22:30:00",
    "Mon",
    "tomorrow",
    "3 hours",
    "next monday",
    "10:30 EST",
    "5 Mar 2002 (note) 10:30",
    "Sept 31 2002",
    "Tuesday, foo",
    "(comment",
};

void SetUpZone()
{
    setenv("TZ", "EST5EDT,M3.2.0,M11.1.0", 1);
    tzset();
}

void BM_ParseDateMix(benchmark::State& state)
{
    SetUpZone();
    size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(o_parsedate(kTexts[next], kReference));
        next = (next + 1) % std::size(kTexts);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("texts");
}
BENCHMARK(BM_ParseDateMix);

void BM_ParseDateFields(benchmark::State& state)
{
    SetUpZone();
    int month = 0, day = 0, year = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(o_parsedate("March 5, 2002 10:30 PM", month, day, year));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseDateFields);

} // namespace
