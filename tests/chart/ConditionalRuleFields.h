#pragma once

// The conditional-format records of a worksheet substream decoded field by
// field as the 97-2003 format documentation lays them out (CONDFMT, CF12,
// CFEx and its CFExNonCF12 part), independently of the engine's own record
// structures. Every field the documentation bounds with MUST is checked;
// what breaks a bound is reported as a fault.

#include "sheet/XlsTokenScan.h"

#include <QString>
#include <QStringList>
#include <map>
#include <vector>

namespace orv::chart::test {

struct DecodedRule {
    QString sqref; // the ranges of its CONDFMT, as A1 references joined by blanks
    int priority = 0;
    bool active = true;
    bool stopIfTrue = false;
};

struct DecodedRules {
    std::vector<DecodedRule> rules;
    QStringList faults;
};

namespace fields {

using sheet::xls::testing::le16;
using sheet::xls::testing::le32;
using sheet::xls::testing::RawRecord;

inline QString columnLetters(unsigned column)
{
    QString letters;
    for (unsigned n = column + 1; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + static_cast<char16_t>((n - 1) % 26)));
    return letters;
}

// A Ref8U at `at`: rwFirst, rwLast, colFirst, colLast.
inline QString ref8(const QByteArray &data, qsizetype at)
{
    const QString first = columnLetters(le16(data, at + 4)) + QString::number(le16(data, at) + 1);
    const QString last = columnLetters(le16(data, at + 6)) + QString::number(le16(data, at + 2) + 1);
    return first == last ? first : first + u':' + last;
}

struct CondFmt {
    unsigned ccf = 0;
    QString sqref;
};

// CONDFMT: ccf, fToughRecalc and nID, refBound, then the SqRefU.
inline CondFmt condFmt(const RawRecord &r)
{
    CondFmt format{le16(r.data, 0), {}};
    QStringList refs;
    const unsigned count = le16(r.data, 12);
    for (unsigned i = 0; i < count; ++i)
        refs << ref8(r.data, 14 + 8 * i);
    format.sqref = refs.join(u' ');
    return format;
}

// CFExNonCF12 from `at` to the record's end: icf (2), cp (1), icfTemplate
// (1), ipriority (2), fActive and fStopIfTrue (1), fHasDXF (1), the DXFN12
// when fHasDXF is 1, cbTemplateParm (1, MUST be 16) and rgbTemplateParms
// (16).
inline void nonCf12(const RawRecord &r, qsizetype at, const CondFmt &format, DecodedRules &out)
{
    const QString where = QStringLiteral("CFEx at %1: ").arg(r.offset);
    if (r.data.size() < at + 8) {
        out.faults << where + QStringLiteral("%1 bytes, too short").arg(r.data.size());
        return;
    }
    const unsigned icf = le16(r.data, at);
    const unsigned flags = static_cast<unsigned char>(r.data[at + 6]);
    const unsigned hasDxf = static_cast<unsigned char>(r.data[at + 7]);
    if (icf >= format.ccf)
        out.faults << where + QStringLiteral("icf %1 beyond the %2 CF records").arg(icf).arg(format.ccf);
    if (flags & 0xFC)
        out.faults << where + QStringLiteral("reserved flag bits set (0x%1)").arg(flags, 0, 16);
    if (hasDxf > 1)
        out.faults << where + QStringLiteral("fHasDXF %1").arg(hasDxf);
    qsizetype next = at + 8;
    if (hasDxf == 1 && r.data.size() >= next + 4)
        next += 4 + le32(r.data, next); // cbDxf and what it counts
    if (r.data.size() != next + 17 || static_cast<unsigned char>(r.data[next]) != 16)
        out.faults << where + QStringLiteral("%1 bytes where the fields make %2, cbTemplateParm %3")
                                  .arg(r.data.size())
                                  .arg(next + 17)
                                  .arg(r.data.size() > next ? static_cast<unsigned char>(r.data[next]) : -1);
    out.rules.push_back({format.sqref, static_cast<int>(le16(r.data, at + 4)), (flags & 0x01) != 0, (flags & 0x02) != 0});
}

// CF12 of a formula rule: frtRefHeader (12), ct (1), cp (1), cce1 (2), cce2
// (2), the DXFN12 (cbDxf (4) and what it counts), rgce1, rgce2, fmlaActive
// (cce (2) and its tokens), the flags (1, fStopIfTrue in bit 1), ipriority
// (2), icfTemplate (2), cbTemplateParm (1, MUST be 16), rgbTemplateParms
// (16); a formula rule has no rgbCT.
inline void cf12(const RawRecord &r, const CondFmt &format, DecodedRules &out)
{
    const QString where = QStringLiteral("CF12 at %1: ").arg(r.offset);
    if (r.data.size() < 22 || r.data[12] != 2) {
        out.faults << where + QStringLiteral("not a formula rule");
        return;
    }
    qsizetype at = 18 + 4 + le32(r.data, 18) + le16(r.data, 14) + le16(r.data, 16);
    if (r.data.size() < at + 2) {
        out.faults << where + QStringLiteral("cut short");
        return;
    }
    at += 2 + le16(r.data, at);
    if (r.data.size() != at + 22 || static_cast<unsigned char>(r.data[at + 5]) != 16) {
        out.faults << where + QStringLiteral("%1 bytes where the fields make %2").arg(r.data.size()).arg(at + 22);
        return;
    }
    const unsigned flags = static_cast<unsigned char>(r.data[at]);
    out.rules.push_back({format.sqref, static_cast<int>(le16(r.data, at + 1)), true, (flags & 0x02) != 0});
}

} // namespace fields

// The rules of the newer versions in one worksheet substream: one for each
// CFEx (with the CF12 that a CFEx announces), in stream order.
inline DecodedRules decodeNewerRules(const std::vector<sheet::xls::testing::RawRecord> &substream)
{
    constexpr unsigned kCondFmt = 0x01B0, kCf12 = 0x087A, kCfEx = 0x087B;
    DecodedRules out;
    std::map<unsigned, fields::CondFmt> formats; // by nID
    for (size_t i = 0; i < substream.size(); ++i) {
        const auto &r = substream[i];
        if (r.type == kCondFmt) {
            formats[fields::le16(r.data, 2) >> 1] = fields::condFmt(r);
            continue;
        }
        if (r.type != kCfEx)
            continue;
        const QString where = QStringLiteral("CFEx at %1: ").arg(r.offset);
        if (r.data.size() < 18) {
            out.faults << where + QStringLiteral("%1 bytes, too short").arg(r.data.size());
            continue;
        }
        const std::uint32_t isCf12 = fields::le32(r.data, 12);
        const auto format = formats.find(fields::le16(r.data, 16));
        if (isCf12 > 1 || format == formats.end()) {
            out.faults << where + QStringLiteral("fIsCF12 %1, nID %2").arg(isCf12).arg(fields::le16(r.data, 16));
            continue;
        }
        if (isCf12 == 0) {
            fields::nonCf12(r, 18, format->second, out);
        } else if (r.data.size() != 18) {
            out.faults << where + QStringLiteral("%1 bytes after announcing a CF12").arg(r.data.size());
        } else if (i + 1 < substream.size() && substream[i + 1].type == kCf12) {
            fields::cf12(substream[i + 1], format->second, out);
        }
    }
    return out;
}

} // namespace orv::chart::test
