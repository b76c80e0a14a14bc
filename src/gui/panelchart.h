#pragma once

#include "constructions/panelmoisture.h"

#include <QByteArray>

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

} // namespace kalydor::gui
