// One full calculation of a ten-layer wall with a condensation zone and the yearly drying
// check, as the construction editor runs it after every edited value; the editor's whole
// round for a left field; the vapour diagram's polylines.
//
//   build/release/bin/bench_panel

#include "constructions/paneleditor.h"
#include "constructions/panelmoisture.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kalydor;

Layer layer(const char* name, float cm, float density, float lambda, float mu, float w100,
            float permit, MaterialKind kind = MaterialKind::Normal) {
    Layer l;
    l.Name = name;
    l.Kind = static_cast<std::uint8_t>(kind);
    l.Thickness = cm;
    l.Density = density;
    l.ThermalCond = lambda;
    l.HeatCapacity = 0.9f;
    l.SteamDiffResNum = mu;
    l.PermitHumidity = permit;
    if (kind == MaterialKind::Normal)
        for (std::size_t i = 0; i < 10; ++i)
            l.Sorption[i] = w100 * static_cast<float>((i + 1) * (i + 1)) / 100;
    return l;
}

Panel tenLayerWall() {
    Panel p;
    p.Type = 0;
    p.OutSideTemp = -15;
    p.OutSideRelHum = 85;
    p.InSideTemp = 20;
    p.InSideRelHum = 65;
    p.OutSideAlpha = 24;
    p.InSideAlpha = 8;
    p.DiffusionDays = 60;
    p.SurfaceTemperatureDifference = 4;
    p.Layers = {
        layer("Tencuiala exterioara", 2, 2000, 1.0f, 200, 5, 4),
        layer("Plasa si adeziv", 0.5f, 1600, 0.8f, 50, 4, 4),
        layer("Vata minerala", 8, 100, 0.04f, 1.2f, 2, 6),
        layer("Vata minerala", 6, 100, 0.04f, 1.2f, 2, 6),
        layer("Caramida", 12, 1800, 0.8f, 8, 5, 4),
        layer("Caramida", 12, 1800, 0.8f, 8, 5, 4),
        layer("Mortar", 1, 1800, 0.9f, 20, 4, 5),
        layer("Caramida umeda", 12, 1800, 0.8f, 8, 5, 4),
        layer("Tencuiala", 1.5f, 1600, 0.7f, 10, 4, 5),
        layer("Vopsea", 0.05f, 1000, 0.2f, 100, 0, 0, MaterialKind::Thick),
    };
    p.Layers[7].InitialHumidity = 6; // built in wet: the drying check runs
    return p;
}

void BM_PanelCalculate(benchmark::State& state) {
    const Panel wall = tenLayerWall();
    const PanelSettings settings{-15, false};
    for (auto _ : state) {
        Panel p = wall;
        p.Calculate(settings);
        benchmark::DoNotOptimize(p.results.flags);
    }
    state.SetLabel("10 layers, zone, drying check");
}
BENCHMARK(BM_PanelCalculate)->Unit(benchmark::kMicrosecond);

// What the layered editor does when a field is left: take the value, calculate, and form
// every result it shows with the message line.
void BM_EditorFieldLeft(benchmark::State& state) {
    Panel wall = tenLayerWall();
    PanelEditorOptions options;
    options.settings = PanelSettings{-15, false};
    LayeredPanelEditor editor(wall, options);
    bool warmer = false;
    for (auto _ : state) {
        warmer = !warmer;
        benchmark::DoNotOptimize(editor.setField(PanelField::InSideTemp, warmer ? "21" : "20"));
        const LayeredPanelEditor::Results shown = editor.results();
        benchmark::DoNotOptimize(shown.status.data());
    }
    state.SetLabel("10 layers: value, calculation, results, messages");
}
BENCHMARK(BM_EditorFieldLeft)->Unit(benchmark::kMicrosecond);

// The polylines of the vapour diagram window, redrawn after every change.
void BM_DiagramData(benchmark::State& state) {
    Panel wall = tenLayerWall();
    wall.Calculate(PanelSettings{-15, false});
    const auto axis = state.range(0) != 0 ? DiagramAxis::Distance : DiagramAxis::Temperature;
    for (auto _ : state) {
        const PanelDiagram diagram = panelDiagram(wall, axis);
        benchmark::DoNotOptimize(diagram.saturation.data());
    }
    state.SetLabel(state.range(0) != 0 ? "over the distance" : "over the temperature");
}
BENCHMARK(BM_DiagramData)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
