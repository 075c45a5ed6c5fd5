#pragma once

// Sizes every table window shares, whatever the platform: rows are 15
// pixels high, and a window is 120 pixels wide, or 200 in the Attributes
// mode where the column descriptions stand beside the names.
namespace TableMetrics {

constexpr int kRowHeight = 15;
constexpr int kSchemaWidth = 120;
constexpr int kAttributesWidth = 200;

} // namespace TableMetrics
