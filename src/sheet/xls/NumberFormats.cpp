#include "sheet/xls/NumberFormats.h"

#include <array>
#include <utility>

namespace orv::sheet::xls {

namespace {

const std::array<std::pair<int, const char *>, 24> kBuiltIn = {{
    {0, "General"},      {1, "0"},           {2, "0.00"},        {3, "#,##0"},          {4, "#,##0.00"},
    {9, "0%"},           {10, "0.00%"},      {11, "0.00E+00"},   {12, "# ?/?"},         {13, "# ?\?/??"},
    {14, "m/d/yy"},      {15, "d-mmm-yy"},   {16, "d-mmm"},      {17, "mmm-yy"},        {18, "h:mm AM/PM"},
    {19, "h:mm:ss AM/PM"}, {20, "h:mm"},     {21, "h:mm:ss"},    {22, "m/d/yy h:mm"},   {45, "mm:ss"},
    {46, "[h]:mm:ss"},   {47, "mm:ss.0"},    {48, "##0.0E+0"},   {49, "@"},
}};

} // namespace

int builtInNumberFormat(const QString &format)
{
    for (const auto &[index, text] : kBuiltIn)
        if (format == QLatin1String(text))
            return index;
    return -1;
}

QString builtInNumberFormatText(int index)
{
    for (const auto &[builtIn, text] : kBuiltIn)
        if (builtIn == index)
            return QString::fromLatin1(text);
    return {};
}

} // namespace orv::sheet::xls
