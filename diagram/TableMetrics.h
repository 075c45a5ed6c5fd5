#pragma once

// Sizes every table window shares, whatever the platform: rows are 15
// pixels high, and a window is 120 pixels wide, or 200 in the Attributes
// mode where the column descriptions stand beside the names.
namespace TableMetrics {

constexpr int kRowHeight = 15;
constexpr int kSchemaWidth = 120;
constexpr int kAttributesWidth = 200;
// How much of a window's width stays on the diagram however far it is
// moved left, so that its caption can always be grabbed again.
constexpr int kMinimumVisibleWidth = 40;

} // namespace TableMetrics
