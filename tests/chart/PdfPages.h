#pragma once

// Helpers of the tests that print charts to PDF and look at the pages.
#include "sheet/OracleFiles.h"
#include "sheet/model/CellFormat.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <vector>
#include <gtest/gtest.h>

namespace orv::chart::test {

// The output of a program that must succeed.
inline QString outputOf(const QString &program, const QStringList &arguments)
{
    QString output;
    EXPECT_EQ(sheet::xls::testing::runProgram(program, arguments, &output, 600000), 0) << output.toStdString();
    return output;
}

// How many pixels of a page picture have one of `colours`, give or take the
// rasteriser's blending.
inline int pixelsOf(const QImage &page, std::initializer_list<sheet::Color> colours)
{
    int count = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QRgb pixel = page.pixel(x, y);
            for (const sheet::Color &colour : colours) {
                const QRgb wanted = colour.rgb;
                if (std::abs(qRed(pixel) - qRed(wanted)) + std::abs(qGreen(pixel) - qGreen(wanted))
                        + std::abs(qBlue(pixel) - qBlue(wanted)) < 24) {
                    ++count;
                    break;
                }
            }
        }
    return count;
}

// The pages of `pdf` rasterised by poppler at `dpi`, as pictures beside it.
inline std::vector<QImage> pdfPages(const QString &pdf, int dpi)
{
    outputOf(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"), pdf, pdf.chopped(4)});
    std::vector<QImage> pages;
    const QFileInfo file(pdf);
    for (const QFileInfo &page : file.dir().entryInfoList({file.completeBaseName() + QStringLiteral("-*.png")}, QDir::Files,
                                                           QDir::Name))
        pages.emplace_back(page.filePath());
    return pages;
}

} // namespace orv::chart::test
