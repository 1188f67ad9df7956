// Time of one Sheet::update, the per-frame arithmetic of the scene.
#include "scene/scene_settings.h"
#include "scene/sheet.h"

#include <benchmark/benchmark.h>

namespace {

void sheetUpdate(benchmark::State& state) {
    solvane::SceneInputs inputs{solvane::fixedSceneSettings, solvane::SceneRandom::fromTime(1)};
    solvane::Sheet sheet(inputs);
    for (auto _ : state) {
        sheet.update(0.016f);
        benchmark::DoNotOptimize(sheet.point(15, 15).glow);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(sheetUpdate);

} // namespace

BENCHMARK_MAIN();
