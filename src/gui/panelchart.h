#pragma once

#include "constructions/panelmoisture.h"
#include "reports/reportlayout.h"

#include <QByteArray>

#include <optional>

namespace kalydor {
class Panel;
class Languages;
} // namespace kalydor

namespace kalydor::gui {

/// The vapour-pressure diagram of a calculated layered construction as a 560 × 360 PNG
/// picture (the clipboard copy of a construction): the diagram of `renderPanelDiagram`, over
/// the temperature or over the distance through the construction, as `axis` says,
/// its texts from the languages (built-in texts without them). Empty for a known
/// construction and for one without layers.
QByteArray panelChartPng(const Panel& panel, DiagramAxis axis,
                         const Languages* languages = nullptr);

/// The diagram of a calculated layered construction as a block of its printed sheet, drawn
/// (in grey without `color`) when the sheet goes to a Qt canvas; none for a known
/// construction and for one without layers. The block keeps its own copy of the panel.
std::optional<ReportBlock> panelDiagramBlock(const Panel& panel, DiagramAxis axis,
                                             const Languages& languages, bool color);

} // namespace kalydor::gui
