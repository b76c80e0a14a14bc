#pragma once

#include <QByteArray>

namespace kalydor {
class Panel;
}

namespace kalydor::gui {

/// The vapour-pressure diagram of a calculated layered construction as a PNG picture: the
/// saturation pressure, the plain vapour-pressure profile and the profile with
/// condensation, over the temperature or — with `overDistance` — over the distance through
/// the construction. Empty for a construction without layers.
QByteArray panelChartPng(const Panel& panel, bool overDistance);

} // namespace kalydor::gui
