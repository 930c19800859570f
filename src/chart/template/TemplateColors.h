#pragma once

#include "sheet/model/CellFormat.h"

// The colours of the chart template. Every one is a colour of the default
// 97-2003 palette, so that the .xls file can name it by palette index and
// older applications show exactly this shade.
namespace orv::chart::colors {

inline const sheet::Color White = sheet::Color::fromRgb(0xFFFFFF);
inline const sheet::Color Black = sheet::Color::fromRgb(0x000000);
inline const sheet::Color Indigo = sheet::Color::fromRgb(0x333399);
inline const sheet::Color Navy = sheet::Color::fromRgb(0x000080);
inline const sheet::Color OliveGreen = sheet::Color::fromRgb(0x333300);
inline const sheet::Color Tan = sheet::Color::fromRgb(0xFFCC99); // the light orange of the date cells
inline const sheet::Color LightYellow = sheet::Color::fromRgb(0xFFFF99);
inline const sheet::Color Aqua = sheet::Color::fromRgb(0x33CCCC);
inline const sheet::Color BrightGreen = sheet::Color::fromRgb(0x00FF00);
inline const sheet::Color Lavender = sheet::Color::fromRgb(0xCC99FF);
inline const sheet::Color Gray25 = sheet::Color::fromRgb(0xC0C0C0);
inline const sheet::Color LightGreen = sheet::Color::fromRgb(0xCCFFCC);
inline const sheet::Color Coral = sheet::Color::fromRgb(0xFF8080);
inline const sheet::Color PaleBlue = sheet::Color::fromRgb(0x99CCFF);
inline const sheet::Color Brown = sheet::Color::fromRgb(0x993300); // the palette's dark red for text
inline const sheet::Color Rose = sheet::Color::fromRgb(0xFF99CC);

} // namespace orv::chart::colors
