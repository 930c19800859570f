#pragma once

#include <QColor>
#include <array>
#include <optional>
#include <vector>

namespace orv::sheet::xls {

// The workbook's 56 changeable colours (indices 8 to 63). Cell formats and
// conditional formats refer to colours by index only, so a colour the
// default palette lacks must replace one of its entries.
class Palette {
public:
    static constexpr int kFirstIndex = 8;
    static constexpr int kSize = 56;

    Palette(); // the default palette

    QRgb at(int index) const { return mColors[index - kFirstIndex]; }
    void set(int index, QRgb rgb) { mColors[index - kFirstIndex] = rgb | 0xFF000000u; }
    // The colour of a stored index: 0-7 are fixed colours, 8-63 the
    // palette; anything else (system colours) is automatic.
    std::optional<QRgb> colorOf(unsigned index) const;
    // Makes room for every given colour, replacing entries that no given
    // colour uses; beyond 56 colours the nearest entry is used.
    void fit(const std::vector<QRgb> &needed);
    // The index of the colour, or of the nearest one.
    int indexOf(QRgb rgb) const;
    bool isDefault() const;

private:
    std::array<QRgb, kSize> mColors;
};

} // namespace orv::sheet::xls
